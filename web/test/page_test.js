// The page in Debian's headless Chromium: it loads without console errors, goes from the logo to
// the title, starts a one-player game by keys, the hero walks and jumps, Space pauses, Escape
// ends the game; the top score and a setting survive a reload; a dropped broken area is refused
// with its line and a good one plays.
//   node page_test.js SITE_DIR [CHROMIUM]
"use strict";
const path = require("path");
const crypto = require("crypto");
const os = require("os");
const fs = require("fs");
const puppeteer = require("puppeteer-core");
const { serve } = require("./serve.js");

const site = path.resolve(process.argv[2] || "build-web/site");
const chromium = process.argv[3] || "/usr/bin/chromium";
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
           "--autoplay-policy=no-user-gesture-required", "--window-size=1280,720"],
    defaultViewport: { width: 1280, height: 720 },
  });
  const page = await browser.newPage();
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

    await check("Escape ends the game to a page that offers to start again", async () => {
      await tap(page, "Escape");
      await page.waitForFunction(() => !document.getElementById("ended").hidden, { timeout: 10000 });
      const text = await page.$eval("#ended", (e) => e.textContent);
      assert(/game has ended/i.test(text) && /start again/i.test(text), "ended screen says: " + text);
      await page.click("#again");
      await waitFor(page, 0, STATE.TITLE, 30000, "title after starting again");
      assert(errors.length === 0, "console errors: " + errors.join(" | "));
    });
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  console.log(`${passed} passed, ${failed} failed`);
  process.exit(failed ? 1 : 0);
})().catch((e) => { console.log(`FAIL ${e.stack || e}`); console.log(`${passed} passed, ${failed + 1} failed`); process.exit(1); });
