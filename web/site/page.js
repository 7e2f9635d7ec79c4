// The page around the game: the canvas and its scaling, keys, pointer, pads, sound, the player's
// files in the browser's storage, a dropped area file, and the screen after the game has ended.
// The game (pumko.js) calls into PumkoPage through its browser platform.
"use strict";

var PumkoPage = (function () {
  var STEP_MS = 1000 / 60;     // one game step
  var STEP_EARLY_MS = 3;       // a frame this close to a step's time brings it (display jitter)
  var EV = { KeyDown: 0, KeyUp: 1, KeyRepeat: 2, MouseDown: 3, MouseUp: 4, MouseMove: 5, Wheel: 6,
             Suspend: 7, Resume: 8, Close: 9 };

  var canvas = document.getElementById("screen");
  var hint = document.getElementById("hint");
  var messageBox = document.getElementById("message");
  var queue = [];
  var pictureW = 640, pictureH = 480, scaleMode = 0; // 0 sharp, 1 integer, 2 smooth
  var gl = null, glTexture = null, glScaleLoc = null, ctx2d = null, imageData = null;
  var picture = null, pictureCtx = null, enlarge = 1; // the 2D path's picture and its whole-number enlargement
  var query = new URLSearchParams(location.search);
  // Where the browser draws on the CPU (SwiftShader, llvmpipe, no GPU at all), every screen pixel
  // the page makes it fill costs the machine: the picture then goes to the screen as it is, and the
  // browser's own nearest enlargement fills the box (sharp; the blocks differ by a pixel at most).
  // Elsewhere a whole-number enlargement in the canvas, then one smooth step to the box.
  // ?enlarge=N and ?pixelated=0|1 choose by hand (for measuring). Asking the browser which it is
  // costs a second or two where WebGL runs on the CPU, so the page starts on the cheap path and
  // asks once the game is under way (see show).
  var byHand = query.has("enlarge") || query.has("pixelated"), asked = byHand;
  var maxEnlarge = +(query.get("enlarge") || 1);
  var pixelated = query.has("pixelated") ? query.get("pixelated") === "1" : true;
  function askDrawing() {
    asked = true;
    if (drawnOnCpu()) return;
    maxEnlarge = Infinity;
    pixelated = false;
    if (ctx2d) layout();
  }
  function drawnOnCpu() {
    try {
      var g = document.createElement("canvas").getContext("webgl");
      if (!g) return true;
      var info = g.getExtension("WEBGL_debug_renderer_info");
      var name = info ? String(g.getParameter(info.UNMASKED_RENDERER_WEBGL)) : "";
      var lose = g.getExtension("WEBGL_lose_context");
      if (lose) lose.loseContext();
      return /swiftshader|llvmpipe|softpipe|software/i.test(name);
    } catch (e) {
      return false;
    }
  }
  var audio = null, audioNode = null;
  var stats = { steps: 0, stepTimes: [], frames: [], busy: 0, show: 0, shown: 0, drawnAt: 0 };

  // ---- keys: the game's codes are virtual-key numbers with per-side modifiers ----------------
  var byCode = {
    Backspace: 8, Tab: 9, Enter: 13, NumpadEnter: 13, Pause: 19, CapsLock: 20, Escape: 27, Space: 32,
    PageUp: 33, PageDown: 34, End: 35, Home: 36, ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39,
    ArrowDown: 40, PrintScreen: 44, Insert: 45, Delete: 46, MetaLeft: 91, MetaRight: 92,
    ContextMenu: 93, Numpad0: 96, NumpadMultiply: 106, NumpadAdd: 107, NumpadSubtract: 109,
    NumpadDecimal: 110, NumpadDivide: 111, NumLock: 144, ScrollLock: 145, ShiftLeft: 160,
    ShiftRight: 161, ControlLeft: 162, ControlRight: 163, AltLeft: 164, AltRight: 165,
    Semicolon: 186, Equal: 187, Comma: 188, Minus: 189, Period: 190, Slash: 191, Backquote: 192,
    BracketLeft: 219, Backslash: 220, BracketRight: 221, Quote: 222, IntlBackslash: 226
  };
  function keyCode(e) {
    // Letters and digits as the keyboard's layout prints them; everything else by position.
    if (e.key && e.key.length === 1) {
      var c = e.key.toUpperCase().charCodeAt(0);
      if ((c >= 65 && c <= 90) || (c >= 48 && c <= 57)) return c;
    }
    var m = /^Key([A-Z])$/.exec(e.code);
    if (m) return m[1].charCodeAt(0);
    m = /^Digit([0-9])$/.exec(e.code);
    if (m) return 48 + +m[1];
    m = /^F([0-9]+)$/.exec(e.code);
    if (m && +m[1] >= 1 && +m[1] <= 24) return 111 + +m[1];
    m = /^Numpad([1-9])$/.exec(e.code);
    if (m) return 96 + +m[1];
    return byCode[e.code] || 0;
  }
  // Keys the browser keeps: reload, its developer tools, and full screen (which it does itself).
  function browserKey(e) {
    return e.code === "F5" || e.code === "F12" || (e.ctrlKey && (e.code === "KeyR" || e.code === "KeyW"));
  }

  function onKey(e) {
    startSound();
    if (browserKey(e)) return;
    var down = e.type === "keydown";
    if ((e.code === "Enter" || e.code === "NumpadEnter") && e.altKey) { // the desktop's switch
      e.preventDefault();
      if (down && !e.repeat) toggleFullscreen();
      return;
    }
    if (e.code === "F11") {
      e.preventDefault();
      if (down && !e.repeat) toggleFullscreen();
      return;
    }
    var code = keyCode(e);
    if (code <= 0 || code > 255) return;
    e.preventDefault(); // no scrolling, no browser shortcuts for the game's keys
    hideMessage();
    queue.push([down ? (e.repeat ? EV.KeyRepeat : EV.KeyDown) : EV.KeyUp, code, 0, 0]);
  }
  window.addEventListener("keydown", onKey, true);
  window.addEventListener("keyup", onKey, true);

  // ---- pointer: back to picture pixels ------------------------------------------------------
  function toPicture(e) {
    var r = canvas.getBoundingClientRect();
    var x = Math.floor((e.clientX - r.left) * pictureW / Math.max(r.width, 1));
    var y = Math.floor((e.clientY - r.top) * pictureH / Math.max(r.height, 1));
    return [Math.min(Math.max(x, 0), pictureW - 1), Math.min(Math.max(y, 0), pictureH - 1)];
  }
  function mouseButton(b) { return b === 0 ? 1 : b === 2 ? 2 : b === 1 ? 3 : 0; }
  // The page's buttons show while the pointer moves and keep off the picture otherwise.
  var tools = document.getElementById("tools"), toolsTimer = 0;
  function showTools() {
    tools.classList.add("shown");
    clearTimeout(toolsTimer);
    toolsTimer = setTimeout(function () { if (!tools.matches(":hover")) tools.classList.remove("shown"); }, 2500);
  }
  function onMouse(e) {
    if (e.type === "mousemove") showTools();
    var p = toPicture(e);
    if (e.type === "mousemove") { queue.push([EV.MouseMove, 0, p[0], p[1]]); return; }
    var b = mouseButton(e.button);
    if (e.type === "mousedown") { startSound(); hideMessage(); canvas.focus(); }
    if (!b) return;
    if (e.target === canvas || e.type === "mouseup") {
      e.preventDefault();
      queue.push([e.type === "mousedown" ? EV.MouseDown : EV.MouseUp, b, p[0], p[1]]);
    }
  }
  canvas.addEventListener("mousedown", onMouse);
  window.addEventListener("mouseup", onMouse);
  window.addEventListener("mousemove", onMouse);
  canvas.addEventListener("contextmenu", function (e) { e.preventDefault(); });
  canvas.addEventListener("wheel", function (e) {
    e.preventDefault();
    if (e.deltaY) queue.push([EV.Wheel, 0, e.deltaY < 0 ? 1 : -1, 0]);
  }, { passive: false });

  // ---- the picture: WebGL with the desktop's sharp scaling, else a 2D canvas ----------------
  var VERT = "attribute vec2 p; varying vec2 uv; void main() { uv = vec2(p.x * 0.5 + 0.5, 0.5 - p.y * 0.5);" +
             " gl_Position = vec4(p, 0.0, 1.0); }";
  // Each picture pixel is a block of whole screen pixels; only a screen pixel that straddles an
  // edge between picture pixels is blended (scale = screen pixels per picture pixel).
  var FRAG = "precision mediump float; varying vec2 uv; uniform sampler2D pic; uniform vec2 size;" +
             " uniform vec2 scale; void main() { vec2 t = uv * size; vec2 f = fract(t) - 0.5;" +
             " vec2 r = max(0.5 - 0.5 / scale, 0.0); vec2 g = (f - clamp(f, -r, r)) * scale + 0.5;" +
             " gl_FragColor = vec4(texture2D(pic, (floor(t) + g) / size).rgb, 1.0); }";
  function setupGl() {
    gl = canvas.getContext("webgl", { alpha: false, antialias: false, depth: false, preserveDrawingBuffer: !!query.get("keep") });
    if (!gl) return false;
    function shader(type, src) {
      var s = gl.createShader(type); gl.shaderSource(s, src); gl.compileShader(s); return s;
    }
    var prog = gl.createProgram();
    gl.attachShader(prog, shader(gl.VERTEX_SHADER, VERT));
    gl.attachShader(prog, shader(gl.FRAGMENT_SHADER, FRAG));
    gl.linkProgram(prog);
    if (!gl.getProgramParameter(prog, gl.LINK_STATUS)) { gl = null; return false; }
    gl.useProgram(prog);
    var buf = gl.createBuffer();
    gl.bindBuffer(gl.ARRAY_BUFFER, buf);
    gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), gl.STATIC_DRAW);
    var loc = gl.getAttribLocation(prog, "p");
    gl.enableVertexAttribArray(loc);
    gl.vertexAttribPointer(loc, 2, gl.FLOAT, false, 0, 0);
    glTexture = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, glTexture);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.LINEAR);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.LINEAR);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, pictureW, pictureH, 0, gl.RGBA, gl.UNSIGNED_BYTE, null);
    gl.uniform2f(gl.getUniformLocation(prog, "size"), pictureW, pictureH);
    glScaleLoc = gl.getUniformLocation(prog, "scale");
    return true;
  }

  // The picture's box: as large as the window allows with the aspect kept, centred; integer
  // scaling keeps whole multiples only. The canvas has one pixel per screen pixel.
  function layout() {
    var dpr = window.devicePixelRatio || 1;
    var ww = Math.floor(window.innerWidth * dpr), wh = Math.floor(window.innerHeight * dpr);
    var s = Math.min(ww / pictureW, wh / pictureH);
    if (scaleMode === 1) s = Math.max(1, Math.floor(s));
    var bw = Math.max(1, Math.round(pictureW * s)), bh = Math.max(1, Math.round(pictureH * s));
    if (!gl) {
      // Sharp: the largest whole-number nearest enlargement that fits the box, then the one
      // smooth step of the browser's own scaling up to it. Integer and smooth: the picture as
      // it is, enlarged by the browser (nearest or smooth).
      enlarge = scaleMode === 0 ? Math.max(1, Math.min(maxEnlarge, Math.floor(s + 1e-6))) : 1;
      bw = pictureW * enlarge; bh = pictureH * enlarge;
    }
    canvas.width = bw;
    canvas.height = bh;
    var cssW = pictureW * s / dpr, cssH = pictureH * s / dpr;
    canvas.style.width = cssW + "px";
    canvas.style.height = cssH + "px";
    canvas.style.left = Math.floor((window.innerWidth - cssW) / 2) + "px";
    canvas.style.top = Math.floor((window.innerHeight - cssH) / 2) + "px";
    canvas.style.imageRendering = scaleMode === 1 || (scaleMode === 0 && pixelated && !gl) ? "pixelated" : scaleMode === 2 || !gl ? "auto" : "pixelated";
    if (ctx2d) { ctx2d.imageSmoothingEnabled = false; if (picture && stats.drawnAt) drawPicture(); }
    if (gl) {
      gl.viewport(0, 0, bw, bh);
      var k = scaleMode === 2 ? 1 : scaleMode === 1 ? 1e4 : bw / pictureW;
      gl.uniform2f(glScaleLoc, k, scaleMode === 2 ? 1 : scaleMode === 1 ? 1e4 : bh / pictureH);
    }
  }
  function drawPicture() {
    if (enlarge === 1) ctx2d.putImageData(imageData, 0, 0);
    else ctx2d.drawImage(picture, 0, 0, pictureW * enlarge, pictureH * enlarge);
  }
  window.addEventListener("resize", function () { if (gl || ctx2d) layout(); });
  document.addEventListener("fullscreenchange", function () { if (gl || ctx2d) layout(); });

  function toggleFullscreen() {
    if (document.fullscreenElement) document.exitFullscreen().catch(function () {});
    else document.documentElement.requestFullscreen().catch(function () {});
  }
  document.getElementById("full-button").addEventListener("click", function (e) {
    e.currentTarget.blur(); toggleFullscreen(); canvas.focus();
  });

  // ---- steps paced by the browser's frames -------------------------------------------------
  var credit = 0, lastFrame = -1, waking = null, framePending = false;
  function onFrame(t) {
    framePending = false;
    if (lastFrame >= 0) credit += Math.min(t - lastFrame, 100); // a long gap is not caught up
    lastFrame = t;
    stats.frames.push(t);
    if (stats.frames.length > 20000) stats.frames.splice(0, 10000);
    if (waking && credit >= STEP_MS - STEP_EARLY_MS) {
      credit = Math.min(credit - STEP_MS, 2 * STEP_MS);
      var w = waking; waking = null; countStep();
      var t0 = performance.now(); w(); stats.busy += performance.now() - t0;
    } else if (waking) {
      requestFrame();
    }
  }
  // The steps' times, for the page's own measurements.
  function countStep() {
    stats.steps++;
    stats.stepTimes.push(performance.now());
    if (stats.stepTimes.length > 20000) stats.stepTimes.splice(0, 10000);
  }
  function requestFrame() { if (!framePending) { framePending = true; requestAnimationFrame(onFrame); } }
  document.addEventListener("visibilitychange", function () {
    queue.push([document.hidden ? EV.Suspend : EV.Resume, 0, 0, 0]);
    lastFrame = -1;
    if (document.hidden && waking) { // let the game see it is hidden: it stops by its own rules
      var w = waking; waking = null; setTimeout(w, 0);
    }
    if (document.hidden && audio) audio.suspend();
    if (!document.hidden && audio && soundStarted) audio.resume();
  });

  // ---- sound: Web Audio, allowed once the player has pressed or clicked ---------------------
  var soundStarted = false, audioOpenings = 0;
  function startSound() {
    if (soundStarted) return;
    soundStarted = true;
    if (audio) audio.resume().then(updateHint, updateHint);
  }
  function makeAudio(Ctx, rate, frames) {
    try { audio = new Ctx({ sampleRate: rate, latencyHint: "interactive" }); } catch (e) { return; }
    var size = 256;
    while (size < frames && size < 16384) size *= 2;
    audioNode = audio.createScriptProcessor(Math.max(size, 1024), 0, 2);
    audioNode.onaudioprocess = function (e) {
      var left = e.outputBuffer.getChannelData(0), right = e.outputBuffer.getChannelData(1);
      var n = left.length, ptr = Module._pumko_web_audio_fill(n);
      if (!ptr) { left.fill(0); right.fill(0); return; }
      var s = HEAP16.subarray(ptr >> 1, (ptr >> 1) + 2 * n);
      for (var i = 0; i < n; ++i) { left[i] = s[2 * i] / 32768; right[i] = s[2 * i + 1] / 32768; }
    };
    audioNode.connect(audio.destination);
    audio.onstatechange = updateHint;
    if (soundStarted) audio.resume().then(updateHint, updateHint);
    if (document.hidden) audio.suspend();
    updateHint();
  }
  function updateHint() {
    hint.hidden = !audio || audio.state === "running";
  }

  // ---- the player's files in the browser's storage ------------------------------------------
  var syncing = false, syncAgain = false;
  function keepFiles() {
    if (typeof FS === "undefined") return;
    if (syncing) { syncAgain = true; return; }
    syncing = true;
    FS.syncfs(false, function (err) {
      syncing = false;
      if (err) console.warn("pumko: could not keep the player's files: " + err);
      if (syncAgain) { syncAgain = false; keepFiles(); }
    });
  }

  // ---- an area file dropped or chosen: the page starts again and plays it -------------------
  function playAreaFile(file) {
    if (!file) return;
    file.arrayBuffer().then(function (buf) {
      var bytes = new Uint8Array(buf), text = "";
      for (var i = 0; i < bytes.length; i += 8192)
        text += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
      try {
        sessionStorage.setItem("pumko-area", JSON.stringify({ name: file.name, data: btoa(text) }));
      } catch (e) {
        message("pumko: the area file is too large to keep for the page");
        return;
      }
      location.reload();
    });
  }
  window.addEventListener("dragover", function (e) { e.preventDefault(); });
  window.addEventListener("drop", function (e) {
    e.preventDefault();
    if (e.dataTransfer && e.dataTransfer.files.length) playAreaFile(e.dataTransfer.files[0]);
  });
  var areaInput = document.getElementById("area-file");
  document.getElementById("area-button").addEventListener("click", function (e) {
    e.currentTarget.blur(); areaInput.click();
  });
  areaInput.addEventListener("change", function () { playAreaFile(areaInput.files[0]); });

  // Read when the page loads (the program's arguments are fixed before it starts); the file is
  // written into the program's file system just before it runs.
  var keptArea = null;
  try { keptArea = JSON.parse(sessionStorage.getItem("pumko-area") || "null"); } catch (e) { keptArea = null; }
  sessionStorage.removeItem("pumko-area"); // one visit plays it; a reload brings the game back
  var keptAreaPath = keptArea ?
    "/area/" + (String(keptArea.name || "area.txt").replace(/[^A-Za-z0-9._-]/g, "_") || "area.txt") : "";
  function writeAreaFile() {
    if (!keptArea) return;
    var raw = atob(keptArea.data), bytes = new Uint8Array(raw.length);
    for (var i = 0; i < raw.length; ++i) bytes[i] = raw.charCodeAt(i);
    FS.mkdirTree("/area");
    FS.writeFile(keptAreaPath, bytes);
  }

  function message(text) {
    messageBox.textContent = text;
    messageBox.hidden = !text;
  }
  function hideMessage() { if (!messageBox.hidden && messageShownAt + 500 < performance.now()) message(""); }
  var messageShownAt = 0;

  // ---- the page's tests: a recording the page plays itself, its canvas read back ------------
  // A test hands the recording over as window.PumkoTest = { recording: TEXT, frames: N } before
  // the page loads; the game's key events for it come through the page's own queue, and at each
  // checkpoint the picture is read back from the canvas the player sees.
  var test = { checks: [], done: -1 };
  function canvasDigest() {
    // The top-left screen pixel of each picture pixel's block, as FNV-1a over R, G, B: the
    // desktop's digest of the same picture.
    var px = ctx2d.getImageData(0, 0, canvas.width, canvas.height).data, h = 2166136261;
    for (var y = 0; y < pictureH; ++y) {
      var row = y * enlarge * canvas.width;
      for (var x = 0; x < pictureW; ++x) {
        var i = (row + x * enlarge) * 4;
        h = Math.imul(h ^ px[i], 16777619); h = Math.imul(h ^ px[i + 1], 16777619);
        h = Math.imul(h ^ px[i + 2], 16777619);
      }
    }
    return (h >>> 0).toString(16).padStart(8, "0");
  }
  function writeTestRecording() {
    if (!window.PumkoTest || !PumkoTest.recording) return;
    FS.mkdirTree("/test");
    FS.writeFile("/test/recording.txt", PumkoTest.recording);
  }

  // Whether a picture has anything in it (the first ones, before the game's logo, are black).
  function anyLight(px) {
    for (var i = 0; i < px.length; i += 4 * 97) if (px[i] | px[i + 1] | px[i + 2]) return true;
    return false;
  }
  // The start's parts on the page's performance timeline (for measuring it).
  function mark(name) { if (window.performance && performance.mark) performance.mark("pumko-" + name); }
  mark("page-script");

  var page = {
    stats: stats,
    test: test,
    testFrames: function () { return window.PumkoTest && PumkoTest.frames > 0 ? PumkoTest.frames : 0; },
    pushKey: function (down, code) { queue.push([down ? EV.KeyDown : EV.KeyUp, code, 0, 0]); },
    checkpoint: function (frame, after) { test.checks.push([frame, after, ctx2d ? canvasDigest() : ""]); },
    replayDone: function (frames) { test.done = frames; },
    open: function (w, h, mode) {
      pictureW = w; pictureH = h; scaleMode = mode;
      // WebGL only when asked for: where it runs on the CPU (SwiftShader) it costs far more
      // than the 2D canvas.
      if (!/[?&]gl=1/.test(location.search) || !setupGl()) {
        ctx2d = canvas.getContext("2d", { alpha: false, willReadFrequently: query.get("soft") === "1" });
        picture = document.createElement("canvas");
        picture.width = w; picture.height = h;
        pictureCtx = picture.getContext("2d", { alpha: false });
        imageData = pictureCtx.createImageData(w, h);
      }
      layout();
      canvas.focus();
      // A canvas's first drawing sets the browser's drawing up, which takes a while where it draws
      // on the CPU: done once the game first waits (the logo's pause), not before its first
      // picture. The canvas is black until then, as the game's first pictures are.
      if (ctx2d) setTimeout(function () { if (!stats.drawnAt) ctx2d.putImageData(imageData, 0, 0); }, 0);
    },
    show: function (ptr, w, h) {
      var t0 = performance.now();
      if (!stats.shown++) mark("first-picture");
      var pixels = HEAPU8.subarray(ptr, ptr + w * h * 4);
      if (!stats.drawnAt && anyLight(pixels)) { stats.drawnAt = performance.now(); mark("first-drawn-picture"); }
      if (!asked && stats.drawnAt && performance.now() > stats.drawnAt + 3000) setTimeout(askDrawing, 0), asked = true;
      if (gl) {
        gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
        gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
      } else {
        imageData.data.set(pixels);
        if (enlarge > 1) pictureCtx.putImageData(imageData, 0, 0);
        if (stats.drawnAt) drawPicture(); // before the first light picture the canvas is black already
      }
      stats.show += performance.now() - t0;
    },
    nextEvent: function (out) {
      var e = queue.shift();
      if (!e) return 0;
      HEAP32.set(e, out >> 2);
      return 1;
    },
    hidePointer: function () { canvas.style.cursor = "none"; },
    stepDue: function () {
      if (credit < STEP_MS - STEP_EARLY_MS) return 0;
      credit -= STEP_MS; countStep();
      return 1;
    },
    waitStep: function (wakeUp) {
      if (document.hidden) { setTimeout(wakeUp, 0); return; }
      waking = wakeUp;
      requestFrame();
    },
    // Each pad as the game numbers it: buttons (A 0, B 1, X 7, Start 2), then x and y with the
    // d-pad over the stick, the right stick and the triggers. Back sends F1 as a key.
    readPads: function (out, max) {
      var pads = navigator.getGamepads ? navigator.getGamepads() : [], n = 0;
      for (var i = 0; i < pads.length && n < max; ++i) {
        var p = pads[i];
        if (!p || !p.connected) continue;
        var held = function (b) { return !!(p.buttons[b] && p.buttons[b].pressed); };
        var axis = function (a) { return p.axes[a] || 0; };
        var v = new Float32Array(7), standard = p.mapping === "standard";
        var bits = 0;
        if (standard) {
          if (held(0)) bits |= 1; if (held(1)) bits |= 2; if (held(2)) bits |= 128; if (held(9)) bits |= 4;
          var back = held(8);
          if (back !== !!backHeld[p.index]) {
            backHeld[p.index] = back;
            queue.push([back ? EV.KeyDown : EV.KeyUp, 112, 0, 0]);
          }
          var dx = held(14) === held(15) ? null : held(14) ? -1 : 1;
          var dy = held(12) === held(13) ? null : held(12) ? -1 : 1;
          v[1] = dx !== null ? dx : axis(0);
          v[2] = dy !== null ? dy : axis(1);
          v[3] = axis(2); v[4] = axis(3);
          v[5] = p.buttons[6] ? p.buttons[6].value : 0; v[6] = p.buttons[7] ? p.buttons[7].value : 0;
        } else { // unmapped: raw numbering, as on the desktop
          for (var b = 0; b < Math.min(p.buttons.length, 24); ++b) if (held(b)) bits |= 1 << b;
          for (var a = 0; a < 6; ++a) v[1 + a] = axis(a);
        }
        v[0] = bits;
        HEAPF32.set(v, (out >> 2) + n * 7);
        ++n;
      }
      return n;
    },
    openAudio: function (rate, frames) {
      var Ctx = window.AudioContext || window.webkitAudioContext;
      if (!Ctx) return 0;
      // Making the audio context takes a while: it is made once the game first waits (the logo's
      // pause). The browser pulls the mixer's output, so nothing played meanwhile is lost.
      var opening = ++audioOpenings;
      setTimeout(function () { if (opening === audioOpenings) makeAudio(Ctx, rate, frames); }, 0);
      return 1;
    },
    closeAudio: function () {
      ++audioOpenings;
      if (audioNode) audioNode.disconnect();
      if (audio) audio.close();
      audioNode = null; audio = null; updateHint();
    },
    keepFiles: keepFiles,
    message: function (text) { message(text.replace(/\s+$/, "")); messageShownAt = performance.now(); },
    ended: function () {
      if (document.fullscreenElement) document.exitFullscreen().catch(function () {});
      if (audio) audio.suspend();
      hint.hidden = true;
      document.getElementById("tools").hidden = true;
      document.getElementById("stage").hidden = true;
      document.getElementById("ended").hidden = false;
      document.getElementById("again").focus();
    }
  };
  var backHeld = {};
  document.getElementById("again").addEventListener("click", function () { location.reload(); });

  // ---- the program's start: storage first, then the game ------------------------------------
  window.Module = {
    canvas: canvas,
    arguments: keptArea ? ["--area", keptAreaPath] : [],
    onRuntimeInitialized: function () { mark("runtime-ready"); },
    preRun: [function () {
      mark("pre-run");
      FS.mkdir("/save");
      FS.mount(IDBFS, {}, "/save");
      Module.addRunDependency("pumko-save");
      FS.syncfs(true, function (err) {
        if (err) console.warn("pumko: no stored files: " + err);
        writeAreaFile();
        writeTestRecording();
        mark("storage-ready");
        Module.removeRunDependency("pumko-save");
      });
    }],
    print: function (t) { console.log(t); },
    printErr: function (t) { console.warn(t); }
  };
  return page;
})();
