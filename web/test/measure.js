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
  const firstPicture = Date.now() - t0;
  await tap("ControlLeft");
  await until(async () => (await probe(0)) === 6, 30000);
  const title = Date.now() - t0;
  console.log(`window ${width}x${height}: first picture (the logo) ${firstPicture} ms, title (logo skipped by a key) ${title} ms after opening`);
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
  await page.tracing.start({ categories: ["toplevel", "devtools.timeline"] });
  const s0 = await page.evaluate(() => ({ steps: PumkoPage.stats.steps, t: performance.now() }));
  const end = Date.now() + seconds * 1000;
  await page.keyboard.down("ArrowRight");
  while (Date.now() < end) {
    await tap("ControlLeft");
    await sleep(700);
  }
  await page.keyboard.up("ArrowRight");
  const s1 = await page.evaluate((from) => ({
    steps: PumkoPage.stats.steps, t: performance.now(),
    frames: PumkoPage.stats.frames.filter((t) => t >= from),
    stepTimes: PumkoPage.stats.stepTimes.filter((t) => t >= from) }), s0.t);
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
  console.log(`play ${(span / 1000).toFixed(1)} s: ${(steps / span * 1000).toFixed(2)} steps a second; browser frames ` +
              `${(gaps.length / span * 1000).toFixed(1)} a second, median ${pct(gaps, 0.5).toFixed(2)} ms, 99th percentile ` +
              `${pct(gaps, 0.99).toFixed(2)} ms; time between steps 99th percentile ${pct(stepGaps, 0.99).toFixed(2)} ms; ` +
              `main thread busy ${main ? (100 * busy / Math.max(last - first, 1)).toFixed(1) : "?"} %`);
  await browser.close();
  server.close();
  fs.rmSync(profile, { recursive: true, force: true });
})();
