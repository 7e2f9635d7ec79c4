// Figures for the page in headless Chromium (not a test): time from opening the page to its first
// picture and to the title (the logo skipped by a key), then play at real pace: steps a second,
// the browser's frame intervals (median, 99th percentile) and how busy the page's main thread
// was, from Chrome's own trace. Also screenshots of the title and of play.
//   node measure.js SITE_DIR WIDTH HEIGHT PLAY_SECONDS [SHOT_PREFIX]
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");
const puppeteer = require("puppeteer-core");
const { serve } = require("./serve.js");

const [site, width, height, seconds, shots] = [path.resolve(process.argv[2] || "build-web/site"),
  +(process.argv[3] || 1920), +(process.argv[4] || 1080), +(process.argv[5] || 60), process.argv[6] || ""];
// CPU seconds used so far by this browser's processes of each type (gpu-process, renderer, ...),
// all their threads counted: on a shared machine, what the page costs whatever others run.
function cpuByType(profile) {
  const out = {};
  for (const pid of fs.readdirSync("/proc").filter((d) => /^\d+$/.test(d))) {
    let cmd, stat;
    try { cmd = fs.readFileSync(`/proc/${pid}/cmdline`, "utf8"); stat = fs.readFileSync(`/proc/${pid}/stat`, "utf8"); } catch (e) { continue; }
    if (!cmd.includes(profile) && !cmd.includes("--type=")) continue;
    if (!cmd.includes(profile) && !isOurs(pid, profile)) continue;
    const type = (/--type=([a-z-]+)/.exec(cmd) || [, "browser"])[1];
    const f = stat.slice(stat.lastIndexOf(")") + 2).split(" ");
    out[type] = (out[type] || 0) + (+f[11] + +f[12]) / 100; // utime + stime, in clock ticks
  }
  return out;
}
// A child process of this browser (its command line names the profile only in the browser's).
function isOurs(pid, profile) {
  for (let p = pid, i = 0; p > 1 && i < 6; ++i) {
    try {
      const stat = fs.readFileSync(`/proc/${p}/stat`, "utf8");
      p = +stat.slice(stat.lastIndexOf(")") + 2).split(" ")[1];
      if (fs.readFileSync(`/proc/${p}/cmdline`, "utf8").includes(profile)) return true;
    } catch (e) { return false; }
  }
  return false;
}
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const pct = (a, p) => { const s = [...a].sort((x, y) => x - y); return s[Math.min(s.length - 1, Math.floor(p * s.length))]; };

(async () => {
  const server = await serve(site, 0);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "pumko-measure-"));
  const browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium", headless: true, userDataDir: profile,
    args: ["--no-sandbox", "--enable-unsafe-swiftshader", "--use-angle=swiftshader",
           "--autoplay-policy=no-user-gesture-required", `--window-size=${width},${height}`,
           ...(process.env.CHROME_FLAGS ? process.env.CHROME_FLAGS.split(" ") : [])],
    defaultViewport: { width, height },
  });
  const page = await browser.newPage();
  const probe = (w) => page.evaluate((x) => (window.Module && Module.calledRun ? Module._pumko_web_probe(x) : -1), w).catch(() => -1);
  const tap = async (k) => { await page.keyboard.down(k); await sleep(60); await page.keyboard.up(k); };
  const until = async (cond, ms) => { const end = Date.now() + ms; while (Date.now() < end) { if (await cond()) return true; await sleep(5); } return false; };

  const t0 = Date.now();
  await page.goto(`http://127.0.0.1:${server.address().port}/${process.env.PAGE_QUERY || ""}`);
  await until(async () => (await page.evaluate(() => PumkoPage.stats.steps)) > 0, 30000);
  await until(async () => (await page.evaluate(() => PumkoPage.stats.drawnAt)) > 0, 30000);
  const firstPicture = Date.now() - t0;
  await tap("ControlLeft");
  await until(async () => (await probe(0)) === 6, 30000);
  const title = Date.now() - t0;
  console.log(`window ${width}x${height}: first picture (the logo) ${firstPicture} ms, title (logo skipped by a key) ${title} ms after opening`);
  // The start's parts, from the page's own timeline (ms since the navigation began).
  const start = await page.evaluate(() => {
    const at = (n) => { const m = performance.getEntriesByName("pumko-" + n)[0]; return m ? Math.round(m.startTime) : -1; };
    const res = (f) => { const r = performance.getEntriesByType("resource").find((e) => e.name.endsWith(f));
                         return r ? `${Math.round(r.startTime)}-${Math.round(r.responseEnd)}` : "?"; };
    const nav = performance.getEntriesByType("navigation")[0];
    return `html ${Math.round(nav.responseEnd)}, page.js run ${at("page-script")}, pumko.js ${res("pumko.js")}, ` +
           `pumko.wasm ${res("pumko.wasm")}, storage ready ${at("storage-ready")}, wasm ready (main starts) ` +
           `${at("runtime-ready")}, first (black) picture ${at("first-picture")}, the logo handed to the canvas ` +
           `${at("first-drawn-picture")}, on the screen at the next frame ` +
           `${Math.round(PumkoPage.stats.frames.find((t) => t > PumkoPage.stats.drawnAt) || -1)}, load event ${Math.round(nav.loadEventEnd)}`;
  });
  console.log(`start (ms from navigation): ${start}`);
  if (seconds === 0) { // the start only
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
    return;
  }
  await sleep(1000);
  if (shots) await page.screenshot({ path: `${shots}-title.png` });

  await tap("ControlLeft");
  await until(async () => (await probe(0)) === 2, 10000);
  await sleep(1200);
  await tap("ControlLeft");
  await until(async () => (await probe(0)) === 1, 20000);
  await sleep(1000);
  if (shots) await page.screenshot({ path: `${shots}-play.png` });

  // Play: walk right and jump now and then, as a player would.
  const cpu0 = cpuByType(profile);
  await page.tracing.start({ categories: ["toplevel", "devtools.timeline"] });
  const s0 = await page.evaluate(() => ({ steps: PumkoPage.stats.steps, t: performance.now(), show: PumkoPage.stats.show }));
  const end = Date.now() + seconds * 1000;
  await page.keyboard.down("ArrowRight");
  while (Date.now() < end) {
    await tap("ControlLeft");
    await sleep(700);
  }
  await page.keyboard.up("ArrowRight");
  const s1 = await page.evaluate((from) => ({
    steps: PumkoPage.stats.steps, t: performance.now(),
    show: PumkoPage.stats.show - from.show,
    frames: PumkoPage.stats.frames.filter((t) => t >= from.t),
    stepTimes: PumkoPage.stats.stepTimes.filter((t) => t >= from.t) }), s0);
  const cpu1 = cpuByType(profile);
  const trace = JSON.parse(Buffer.from(await page.tracing.stop()).toString("utf8"));

  const span = s1.t - s0.t;
  const steps = s1.steps - s0.steps;
  const gaps = s1.frames.slice(1).map((t, i) => t - s1.frames[i]);
  const stepGaps = s1.stepTimes.slice(1).map((t, i) => t - s1.stepTimes[i]);
  // Main thread: the renderer's main thread's top-level tasks over the span.
  const events = trace.traceEvents || trace;
  // The page's renderer: the main thread that ran the page's scripts most.
  const calls = {};
  for (const e of events) if (e.name === "FunctionCall") calls[e.pid + ":" + e.tid] = (calls[e.pid + ":" + e.tid] || 0) + 1;
  const main = events.filter((e) => e.name === "thread_name" && e.args && e.args.name === "CrRendererMain")
    .sort((a, b) => (calls[b.pid + ":" + b.tid] || 0) - (calls[a.pid + ":" + a.tid] || 0))[0];
  let busy = 0, first = Infinity, last = 0;
  for (const e of events) {
    if (!main || e.pid !== main.pid || e.tid !== main.tid || e.ph !== "X" || !e.dur) continue;
    if (e.name !== "ThreadControllerImpl::RunTask" && e.name !== "RunTask") continue;
    busy += e.dur; first = Math.min(first, e.ts); last = Math.max(last, e.ts + e.dur);
  }
  // Every thread's share of the span, and what the page's main thread spent it on.
  const names = {}, threadBusy = {}, threadCpu = {}, mainBy = {};
  for (const e of events) if (e.name === "thread_name" && e.args) names[e.pid + ":" + e.tid] = e.args.name;
  const spanUs = Math.max(last - first, 1);
  for (const e of events) {
    if (e.ph !== "X" || !e.dur || e.ts < first || e.ts > last) continue;
    const k = e.pid + ":" + e.tid;
    if (e.name === "ThreadControllerImpl::RunTask" || e.name === "RunTask") {
      threadBusy[k] = (threadBusy[k] || 0) + e.dur;
      threadCpu[k] = (threadCpu[k] || 0) + (e.tdur || 0);
    }
    if (main && k === main.pid + ":" + main.tid && /^(FunctionCall|TimerFire|FireAnimationFrame|EventDispatch|Paint|PrePaint|Layout|UpdateLayoutTree|Layerize|Commit|UpdateLayer|GPUTask|v8\.compile|MajorGC|MinorGC)$/.test(e.name))
      mainBy[e.name] = (mainBy[e.name] || 0) + e.dur;
  }
  const top = Object.entries(threadBusy).sort((a, b) => b[1] - a[1]).slice(0, 8)
    .map(([k, v]) => `${names[k] || k} ${(100 * v / spanUs).toFixed(1)}%`).join(", ");
  console.log(`threads busy: ${top}`);
  // CPU time (not wall time: the machine may be shared) each browser frame costs each thread.
  const perFrame = Object.entries(threadCpu).sort((a, b) => b[1] - a[1]).slice(0, 5)
    .map(([k, v]) => `${names[k] || k} ${(v / 1000 / Math.max(gaps.length, 1)).toFixed(2)}`).join(", ");
  console.log(`CPU ms a browser frame: ${perFrame}`);
  console.log(`main thread by kind (overlapping): ` + Object.entries(mainBy).sort((a, b) => b[1] - a[1])
    .map(([k, v]) => `${k} ${(100 * v / spanUs).toFixed(1)}%`).join(", ") +
    `; the picture's upload and drawing (show) ${(s1.show / Math.max(steps, 1)).toFixed(2)} ms a step`);
  console.log("CPU ms a game step, by process: " + Object.keys(cpu1).map((t) =>
    `${t} ${((cpu1[t] - (cpu0[t] || 0)) * 1000 / Math.max(steps, 1)).toFixed(2)}`).join(", "));
  console.log(`play ${(span / 1000).toFixed(1)} s: ${(steps / span * 1000).toFixed(2)} steps a second; browser frames ` +
              `${(gaps.length / span * 1000).toFixed(1)} a second, median ${pct(gaps, 0.5).toFixed(2)} ms, 99th percentile ` +
              `${pct(gaps, 0.99).toFixed(2)} ms; time between steps 99th percentile ${pct(stepGaps, 0.99).toFixed(2)} ms; ` +
              `main thread busy ${main ? (100 * busy / Math.max(last - first, 1)).toFixed(1) : "?"} %`);
  await browser.close();
  server.close();
  fs.rmSync(profile, { recursive: true, force: true });
})();
