// The page in Debian's headless Chromium: it loads without console errors, goes from the logo to
// the title, starts a one-player game by keys, the hero walks and jumps, Space pauses, Escape
// ends the game; the top score and a setting survive a reload; a dropped broken area is refused
// with its line and a good one plays.
// A pad plugged in drives the game; full screen comes and goes with the picture sharp and
// centred; the canvas shows the desktop's picture for a recording's controls.
//   node page_test.js SITE_DIR [CHROMIUM [RECORDINGS_DIR]]
"use strict";
const path = require("path");
const crypto = require("crypto");
const os = require("os");
const fs = require("fs");
const puppeteer = require("puppeteer-core");
const { serve } = require("./serve.js");

const site = path.resolve(process.argv[2] || "build-web/site");
const chromium = process.argv[3] || "/usr/bin/chromium";
const recordings = path.resolve(process.argv[4] || path.join(__dirname, "../../assets/recordings"));
const STATE = { LOGO: 0, PLAY: 1, INTRO: 2, TITLE: 6 };

let passed = 0, failed = 0;
async function check(name, fn) {
  try {
    await fn();
    ++passed;
    console.log(`ok   ${name}`);
  } catch (e) {
    ++failed;
    console.log(`FAIL ${name}: ${e && e.stack ? e.stack : e}`);
  }
}
function assert(cond, what) { if (!cond) throw new Error(what); }
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function probe(page, what) {
  try {
    return await page.evaluate((w) => (window.Module && Module.calledRun ? Module._pumko_web_probe(w) : -1), what);
  } catch (e) {
    return -1; // the page is being reloaded
  }
}
async function waitFor(page, what, value, ms, label) {
  const end = Date.now() + ms;
  while (Date.now() < end) {
    if ((await probe(page, what)) === value) return;
    await sleep(20);
  }
  throw new Error(`${label}: probe ${what} is ${await probe(page, what)}, not ${value}, after ${ms} ms`);
}
async function pictureHash(page) {
  const url = await page.evaluate(() => document.getElementById("screen").toDataURL("image/png"));
  return crypto.createHash("sha1").update(url).digest("hex");
}
async function tap(page, key, holdMs = 60) {
  await page.keyboard.down(key);
  await sleep(holdMs);
  await page.keyboard.up(key);
}
// A file dropped onto the page, as a player drags it from their desktop.
async function dropFile(page, name, text) {
  await page.evaluate((n, t) => {
    const dt = new DataTransfer();
    dt.items.add(new File([t], n, { type: "text/plain" }));
    window.dispatchEvent(new DragEvent("drop", { dataTransfer: dt, bubbles: true, cancelable: true }));
  }, name, text);
}

// A pad the page sees through a stand-in for the Gamepad API: none until plugged in.
function mockGamepads() {
  window.testPads = [];
  Object.defineProperty(Navigator.prototype, "getGamepads", { configurable: true, value: () => window.testPads });
}
// Plugs in (or sets) pad 0 with the standard mapping: `held` button numbers and the left stick.
async function setPad(page, held = [], x = 0, y = 0) {
  await page.evaluate((h, ax, ay) => {
    const buttons = [];
    for (let b = 0; b < 17; ++b) buttons.push({ pressed: h.includes(b), touched: h.includes(b), value: h.includes(b) ? 1 : 0 });
    window.testPads = [{ index: 0, id: "Test pad", connected: true, mapping: "standard", timestamp: performance.now(),
                         buttons, axes: [ax, ay, 0, 0] }];
  }, held, x, y);
}
async function padTap(page, button, holdMs = 100) {
  await setPad(page, [button]);
  await sleep(holdMs);
  await setPad(page, []);
}

// The canvas's box and what the window gives it, and whether each picture pixel is one
// whole-number block of the canvas's own pixels.
async function canvasLayout(page) {
  return page.evaluate(() => {
    const c = document.getElementById("screen"), r = c.getBoundingClientRect();
    const e = c.width / 640;
    let blocks = Number.isInteger(e) && c.height === 480 * e;
    if (blocks && e > 1) {
      const px = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
      for (let y = 0; y < c.height && blocks; ++y)
        for (let x = 0; x < c.width; ++x) {
          const i = (y * c.width + x) * 4, j = ((y - (y % e)) * c.width + (x - (x % e))) * 4;
          if (px[i] !== px[j] || px[i + 1] !== px[j + 1] || px[i + 2] !== px[j + 2]) { blocks = false; break; }
        }
    }
    return { left: r.left, top: r.top, width: r.width, height: r.height, innerWidth, innerHeight,
             rendering: c.style.imageRendering,
             canvasWidth: c.width, canvasHeight: c.height, blocks, full: !!document.fullscreenElement };
  });
}
// Centred, the aspect kept, as large as the window allows, and sharp (whole-number blocks).
function assertLayout(l, what) {
  const s = Math.min(l.innerWidth / 640, l.innerHeight / 480);
  assert(Math.abs(l.width - 640 * s) <= 1 && Math.abs(l.height - 480 * s) <= 1,
         `${what}: the picture is ${l.width}x${l.height} in a ${l.innerWidth}x${l.innerHeight} window`);
  assert(Math.abs(l.left - (l.innerWidth - l.width) / 2) <= 1 && Math.abs(l.top - (l.innerHeight - l.height) / 2) <= 1,
         `${what}: the picture is not centred (${l.left}, ${l.top})`);
  const e = l.canvasWidth / 640;
  assert(Number.isInteger(e) && e >= 1 && e <= Math.max(1, Math.floor(s + 1e-6)), `${what}: the canvas is ${l.canvasWidth} wide`);
  assert(l.blocks, `${what}: the canvas's picture pixels are not whole blocks`);
  // The rest of the way to the box: the browser's nearest enlargement, or one smooth step of
  // less than twice.
  assert(l.rendering === "pixelated" || s / e < 2, `${what}: the picture is enlarged ${s / e} times smoothly`);
}

// The checkpoints of a recording file: [frame, after, picture digest].
function recordingChecks(text) {
  const out = [];
  let inChecks = false;
  for (const line of text.split("\n")) {
    if (line.startsWith("checks ")) { inChecks = true; continue; }
    if (!inChecks || line.startsWith("#") || !line.trim()) continue;
    const [frame, picture] = line.split(" ");
    const [play, after] = frame.split("+");
    out.push([play === "end" ? -1 : +play, after ? +after : 0, picture]);
  }
  return out;
}

function flatArea(row, short = false) {
  const lines = ["# A test area: flat ground, pickups in a row from the start.", "area 1.2", "#"];
  for (let r = 0; r < 10; ++r) lines.push("|" + " ".repeat(r === 5 && short ? 120 : 140) + "|");
  lines.push("|" + (row.padEnd(133, " ") + "C").padEnd(140, " ") + "|"); // the cauldron near the end
  lines.push("|" + "#".repeat(140) + "|");
  return lines.join("\n") + "\n";
}

(async () => {
  const server = await serve(site, 0);
  const url = `http://127.0.0.1:${server.address().port}/`;
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "pumko-web-test-"));
  const browser = await puppeteer.launch({
    executablePath: chromium, headless: true, userDataDir: profile,
    args: ["--no-sandbox", "--enable-unsafe-swiftshader", "--use-angle=swiftshader",
           "--autoplay-policy=no-user-gesture-required", "--window-size=1280,720", "--screen-info={1920x1080}"],
    defaultViewport: null, // the window's own size, so that full screen changes it
  });
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(mockGamepads);
  const errors = [];
  page.on("console", (m) => { if (m.type() === "error") errors.push(m.text()); });
  page.on("pageerror", (e) => errors.push(String(e)));

  try {
    await check("the page loads without console errors and shows the logo, then the title", async () => {
      await page.goto(url, { waitUntil: "load" });
      await waitFor(page, 0, STATE.LOGO, 10000, "logo");
      await sleep(1500);
      const logo = await pictureHash(page);
      await tap(page, "ControlLeft"); // jump skips the logo
      await waitFor(page, 0, STATE.TITLE, 15000, "title");
      await sleep(300);
      assert((await pictureHash(page)) !== logo, "the title looks like the logo");
      assert(errors.length === 0, "console errors: " + errors.join(" | "));
    });

    await check("keys start a one-player game; the hero walks and jumps", async () => {
      await tap(page, "ControlLeft");
      await waitFor(page, 0, STATE.INTRO, 5000, "intro");
      await sleep(1500);
      await tap(page, "ControlLeft"); // jump skips the title card
      await waitFor(page, 0, STATE.PLAY, 20000, "play");
      await sleep(500);
      const x0 = await probe(page, 1), before = await pictureHash(page);
      await page.keyboard.down("ArrowRight");
      await sleep(800);
      await page.keyboard.up("ArrowRight");
      const x1 = await probe(page, 1);
      assert(x1 > x0 + 20, `the hero did not walk right (${x0} -> ${x1})`);
      assert((await pictureHash(page)) !== before, "the picture did not change while walking");
      const y0 = await probe(page, 2);
      await page.keyboard.down("ControlLeft");
      let top = y0;
      for (let i = 0; i < 20; ++i) { await sleep(20); top = Math.min(top, await probe(page, 2)); }
      await page.keyboard.up("ControlLeft");
      assert(top < y0 - 10, `the hero did not jump (${y0}, highest ${top})`);
    });

    await check("Space pauses and resumes; the page does not scroll", async () => {
      await sleep(800);
      await tap(page, "Space");
      await sleep(200);
      const steps = () => page.evaluate(() => PumkoPage.stats.steps);
      const x0 = await probe(page, 1), s0 = await steps();
      await page.keyboard.down("ArrowRight");
      await sleep(500);
      await page.keyboard.up("ArrowRight");
      assert((await probe(page, 1)) === x0, "the hero moved while paused");
      assert((await steps()) === s0, "the game went on stepping while paused");
      await tap(page, "Space");
      await page.keyboard.down("ArrowLeft"); // away from whatever stopped the walk to the right
      await sleep(500);
      await page.keyboard.up("ArrowLeft");
      assert((await steps()) > s0 + 10, "the game did not go on after the pause");
      assert((await probe(page, 1)) !== x0, "the hero did not move after the pause");
      assert((await page.evaluate(() => window.scrollY + document.scrollingElement.scrollTop)) === 0, "page scrolled");
    });

    await check("full screen by F11, the button and Alt+Enter: the picture sharp and centred in and out", async () => {
      const windowed = await canvasLayout(page);
      assertLayout(windowed, "in the window");
      let full;
      await tap(page, "F11");
      await page.waitForFunction(() => !!document.fullscreenElement, { timeout: 5000 });
      await sleep(300);
      full = await canvasLayout(page);
      assertLayout(full, "in full screen by F11");
      assert(full.innerWidth === 1920 && full.innerHeight === 1080, `full screen is ${full.innerWidth}x${full.innerHeight}`);
      await tap(page, "F11");
      await page.waitForFunction(() => !document.fullscreenElement, { timeout: 5000 });
      await sleep(300);
      const back = await canvasLayout(page);
      assertLayout(back, "back from full screen");
      assert(back.width === windowed.width && back.left === windowed.left, "the window's picture is not as it was");
      await page.mouse.move(1200, 600); // the buttons show while the pointer moves
      await page.click("#full-button");
      await page.mouse.move(640, 300); // back to the middle, where the pointer does not steer
      await page.waitForFunction(() => !!document.fullscreenElement, { timeout: 5000 });
      await sleep(300);
      assertLayout(await canvasLayout(page), "in full screen by the button");
      await page.keyboard.down("AltLeft");
      await tap(page, "Enter");
      await page.keyboard.up("AltLeft");
      await page.waitForFunction(() => !document.fullscreenElement, { timeout: 5000 });
      assert((await probe(page, 0)) === STATE.PLAY, "switching the screen left play");
    });

    await check("F2 switches the effects off and a reload keeps it", async () => {
      assert((await probe(page, 5)) === 1, "the effects start on");
      await tap(page, "F2");
      await sleep(300);
      assert((await probe(page, 5)) === 0, "F2 did not switch the effects off");
      await sleep(500); // the page writes to its storage at once, in the background
      await page.reload({ waitUntil: "load" });
      await waitFor(page, 0, STATE.TITLE, 30000, "title after reload");
      assert((await probe(page, 5)) === 0, "the effects are on again after the reload");
      await tap(page, "F2");
      await sleep(300);
      assert((await probe(page, 5)) === 1, "F2 did not switch the effects back on");
      await sleep(500);
    });

    await check("a dropped broken area is refused with its line", async () => {
      await dropFile(page, "broken.txt", flatArea("   @", true));
      await page.waitForFunction(() => !document.getElementById("message").hidden, { timeout: 20000 });
      const text = await page.$eval("#message", (e) => e.textContent);
      assert(/broken\.txt:\d+:/.test(text), "no line-numbered message: " + text);
      await waitFor(page, 0, STATE.TITLE, 30000, "the title after a refused area");
    });

    let reached = 0;
    await check("a dropped good area plays at once and its score becomes the top score", async () => {
      await dropFile(page, "pickups.txt", flatArea("   @ oooooooooooooooo"));
      await waitFor(page, 0, STATE.INTRO, 25000, "the dropped area's title card");
      await sleep(1500);
      await tap(page, "ControlLeft");
      await waitFor(page, 0, STATE.PLAY, 25000, "play of the dropped area");
      await sleep(300);
      await page.keyboard.down("ArrowRight");
      await sleep(1500);
      await page.keyboard.up("ArrowRight");
      reached = await probe(page, 3);
      assert(reached > 0, "no score from the pickups");
      assert((await probe(page, 4)) >= reached, "the top score did not follow the score");
    });

    await check("the top score reached survives a reload", async () => {
      await sleep(500);
      reached = await probe(page, 4);
      await page.reload({ waitUntil: "load" });
      await waitFor(page, 0, STATE.TITLE, 30000, "title after reload");
      assert((await probe(page, 4)) === reached && reached > 0, `top score ${await probe(page, 4)}, reached ${reached}`);
    });

    await check("a pad plugged in at the title starts a game; its d-pad, stick, A and Start play", async () => {
      await waitFor(page, 0, STATE.TITLE, 5000, "title");
      await sleep(300);
      await setPad(page); // plugged in now
      await sleep(200);
      await padTap(page, 0); // A starts a one-player game
      await waitFor(page, 0, STATE.INTRO, 5000, "intro by the pad's A");
      await sleep(1500);
      await padTap(page, 0); // and skips the title card
      await waitFor(page, 0, STATE.PLAY, 20000, "play by the pad's A");
      await sleep(500);
      const x0 = await probe(page, 1);
      await setPad(page, [15]); // d-pad right
      await sleep(800);
      await setPad(page, []);
      const x1 = await probe(page, 1);
      assert(x1 > x0 + 20, `the d-pad did not walk the hero right (${x0} -> ${x1})`);
      await setPad(page, [], -1, 0); // the stick to the left
      await sleep(500);
      await setPad(page, []);
      const x2 = await probe(page, 1);
      assert(x2 < x1 - 10, `the stick did not walk the hero left (${x1} -> ${x2})`);
      await sleep(300);
      const y0 = await probe(page, 2);
      await setPad(page, [0]);
      let top = y0;
      for (let i = 0; i < 20; ++i) { await sleep(20); top = Math.min(top, await probe(page, 2)); }
      await setPad(page, []);
      assert(top < y0 - 10, `A did not jump (${y0}, highest ${top})`);
      await sleep(800);
      const steps = () => page.evaluate(() => PumkoPage.stats.steps);
      await padTap(page, 9); // Start pauses
      await sleep(200);
      const s0 = await steps();
      await sleep(400);
      assert((await steps()) === s0, "Start did not pause the game");
      await padTap(page, 9);
      await sleep(400);
      assert((await steps()) > s0 + 10, "Start did not resume the game");
      await page.evaluate(() => { window.testPads = []; }); // unplugged
    });

    await check("Escape in full screen leaves it and ends the game to a page that offers to start again", async () => {
      await tap(page, "F11");
      await page.waitForFunction(() => !!document.fullscreenElement, { timeout: 5000 });
      await tap(page, "Escape");
      await page.waitForFunction(() => !document.getElementById("ended").hidden, { timeout: 10000 });
      const text = await page.$eval("#ended", (e) => e.textContent);
      assert(/game has ended/i.test(text) && /start again/i.test(text), "ended screen says: " + text);
      await page.waitForFunction(() => !document.fullscreenElement, { timeout: 5000 });
      await page.click("#again");
      await waitFor(page, 0, STATE.TITLE, 30000, "title after starting again");
      assert(errors.length === 0, "console errors: " + errors.join(" | "));
    });
    await check("the canvas shows the desktop's picture, frame for frame, for a recording's controls", async () => {
      // A fresh visit (nothing stored): the page plays the first frames of a recording with its
      // own key events, and reads its canvas at each checkpoint.
      const name = "1-1", frames = 360;
      const text = fs.readFileSync(path.join(recordings, name + ".txt"), "utf8");
      const expected = recordingChecks(text).filter(([f, a]) => f >= 0 && (f < frames || (f === frames && a === 0)));
      const context = await browser.createBrowserContext();
      try {
        const fresh = await context.newPage();
        fresh.on("pageerror", (e) => errors.push(String(e)));
        await fresh.evaluateOnNewDocument((t, n) => { window.PumkoTest = { recording: t, frames: n }; }, text, frames);
        await fresh.goto(url, { waitUntil: "load" });
        await fresh.waitForFunction(() => window.PumkoPage && PumkoPage.test.done >= 0, { timeout: 60000, polling: 200 });
        const seen = await fresh.evaluate(() => PumkoPage.test.checks);
        assert(expected.length > 8, `only ${expected.length} checkpoints to compare`);
        for (let i = 0; i < expected.length; ++i) {
          const [f, a, want] = expected[i], got = seen[i];
          const at = a ? `${f}+${a}` : `${f}`;
          assert(got && got[0] === f && got[1] === a, `checkpoint ${i}: the page took ${got ? got[0] + "+" + got[1] : "none"}, the recording has ${at}`);
          assert(got[2] === want, `frame ${at}: the canvas's picture ${got[2]} is not the desktop's ${want}`);
        }
        assert(seen.length === expected.length, `${seen.length} checkpoints taken, ${expected.length} expected`);
      } finally {
        await context.close();
      }
    });
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  console.log(`${passed} passed, ${failed} failed`);
  process.exit(failed ? 1 : 0);
})().catch((e) => { console.log(`FAIL ${e.stack || e}`); console.log(`${passed} passed, ${failed + 1} failed`); process.exit(1); });
