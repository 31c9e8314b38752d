// lumenfall's page in a real browser: the built site (./build.sh web) served from a local port
// to Debian's headless chromium. Screenshots go to build-web/test-out/ for looking at.
//
//   node --test tests/web/        (LUMENFALL_WEB_SITE, LUMENFALL_CAPTURE and
//                                  LUMENFALL_WEB_TEST_OUT override the folders and the tool)
import {after, before, describe, test} from "node:test";
import assert from "node:assert/strict";
import {execFileSync} from "node:child_process";
import {cpSync, existsSync, mkdirSync, mkdtempSync, rmSync, writeFileSync, readFileSync}
  from "node:fs";
import {tmpdir} from "node:os";
import {dirname, join, resolve} from "node:path";
import {fileURLToPath} from "node:url";

import {launchBrowser, serveFolder} from "./browser.mjs";
import {comparePictures, decodePng} from "./png.mjs";

const ROOT = resolve(dirname(fileURLToPath(import.meta.url)), "../..");
const SITE = process.env.LUMENFALL_WEB_SITE || join(ROOT, "build-web/site");
const CAPTURE = process.env.LUMENFALL_CAPTURE || join(ROOT, "build/bin/lumenfall-capture");
const OUT = process.env.LUMENFALL_WEB_TEST_OUT || join(ROOT, "build-web/test-out");

// Software WebGL on two busy cores: loading and compiling takes seconds, not milliseconds.
const LOAD_MS = 60000;
const SHOW_MS = 120000;

// One moment in each scene, away from the overlaps where one scene hands over to the next.
const SCENE_MOMENTS = [7.5, 22, 45, 67, 100];
// A frame in the browser against the native capture: WebGL on SwiftShader and Mesa's llvmpipe
// rasterise edges and round into the 16-bit target a little differently, so a few pixels
// differ much and the rest little.
// Measured: a mean of at most 1.3 and at most 0.25 % of pixels more than 24 apart.
const MEAN_DIFFERENCE_LIMIT = 3;
const FAR_SHARE_LIMIT = 0.01;

if (!existsSync(join(SITE, "index.html"))) {
  throw new Error(`no site in ${SITE}: run ./build.sh web first`);
}
mkdirSync(OUT, {recursive: true});

function save(name, png) {
  writeFileSync(join(OUT, name), png);
}

// The box the page shows (caption and text), once there is one.
async function waitForBox(page) {
  return page.evaluate(`(async () => {
    const shown = () => {
      const layer = document.getElementById('box-layer');
      return layer && !layer.hidden ? layer : null;
    };
    for (let i = 0; i < 600 && !shown(); ++i) {
      await new Promise(r => setTimeout(r, 50));
    }
    const layer = shown();
    return layer && {caption: layer.querySelector('.caption').textContent,
                     text: layer.querySelector('.text').textContent};
  })()`);
}

async function dialogText(page) {
  return page.evaluate("document.getElementById('dialog-layer').innerText");
}

describe("the page", () => {
  let server, browser;
  before(async () => {
    server = await serveFolder(SITE);
    browser = await launchBrowser();
  });
  after(async () => {
    await browser?.close();
    await server?.close();
  });

  test("shows the dialog with its texts and no console errors; continue by mouse starts the show",
    async () => {
      const page = await browser.newPage();
      await page.goto(server.url);
      await page.waitForState("dialog", LOAD_MS);
      const text = await dialogText(page);
      for (const expected of ["' lumenfall ' by tamsivor.", "c o n t i n u e",
                              "Select your favorite 3D device:", "there is no music"]) {
        assert.ok(text.includes(expected), `dialog lacks "${expected}": ${text}`);
      }
      const devices = await page.evaluate(
        "[...document.querySelectorAll('#dialog-layer select option')].map(o => o.text)");
      assert.equal(devices.length, 1, devices.join(", "));
      assert.match(devices[0], /^WebGL 2: ./);
      save("dialog.png", await page.screenshot());
      await page.click("#dialog-layer button.default");
      await page.waitForState("playing", LOAD_MS);
      await new Promise((done) => setTimeout(done, 1500));
      save("show-start.png", await page.screenshot());
      assert.deepEqual(page.errors, []);
    });

  test("Return starts the show and Escape ends it, with an offer to play again", async () => {
    const page = await browser.newPage();
    await page.goto(server.url);
    await page.waitForState("dialog", LOAD_MS);
    await page.press("Enter");
    await page.waitForState("playing", LOAD_MS);
    await page.press("Escape");
    await page.waitForState("ended", LOAD_MS);
    const offer = await page.evaluate("document.getElementById('ended').innerText");
    assert.match(offer, /play again/);
    save("ended.png", await page.screenshot());
    assert.deepEqual(page.errors, []);
  });

  test("?speed= lets the show end by itself", async () => {
    const page = await browser.newPage();
    await page.goto(server.url + "?speed=40");
    await page.waitForState("dialog", LOAD_MS);
    await page.press("Enter");
    const seen = await page.waitForState("ended", SHOW_MS);
    assert.ok(seen.includes("playing"), seen.join(" -> "));
    assert.deepEqual(page.errors, []);
  });

  test("a bad ?speed= is said in a box", async () => {
    const page = await browser.newPage();
    await page.goto(server.url + "?speed=fast");
    const box = await waitForBox(page);
    assert.equal(box?.caption, "lumenfall");
    assert.match(box.text, /\?speed=fast: a speed above 0/);
  });

  test("?at= frames match lumenfall-capture --at in every scene", async (t) => {
    if (!existsSync(CAPTURE)) {
      t.skip(`no ${CAPTURE} (./build.sh test builds it)`);
      return;
    }
    const scratch = mkdtempSync(join(tmpdir(), "lumenfall-at-"));
    try {
      for (const at of SCENE_MOMENTS) {
        const page = await browser.newPage(640, 480);
        await page.goto(`${server.url}?at=${at}`);
        await page.waitForState("drawn", LOAD_MS);
        const shot = await page.screenshot();
        save(`at-${at}-web.png`, shot);
        const reference = join(scratch, `at-${at}.png`);
        execFileSync(CAPTURE, ["--at", String(at), "--device", "software", "-q", "-o", reference],
                     {stdio: ["ignore", "ignore", "pipe"]});
        cpSync(reference, join(OUT, `at-${at}-native.png`));
        const difference = comparePictures(decodePng(shot), decodePng(readFileSync(reference)));
        t.diagnostic(`at ${at} s: mean difference ${difference.meanDifference.toFixed(2)}, ` +
                     `${(100 * difference.farShare).toFixed(2)} % of pixels far apart`);
        assert.ok(difference.meanDifference <= MEAN_DIFFERENCE_LIMIT &&
                  difference.farShare <= FAR_SHARE_LIMIT,
                  `at ${at} s the browser's frame differs: ${JSON.stringify(difference)}`);
        assert.deepEqual(page.errors, []);
      }
    } finally {
      rmSync(scratch, {recursive: true, force: true});
    }
  });

  test("a site missing one media file shows the \"File not found.\" box", async () => {
    const broken = mkdtempSync(join(tmpdir(), "lumenfall-site-"));
    const brokenServer = await serveFolder(broken);
    try {
      cpSync(SITE, broken, {recursive: true});
      rmSync(join(broken, "media/object.2"));
      const page = await browser.newPage();
      await page.goto(brokenServer.url);
      const box = await waitForBox(page);
      assert.deepEqual(box, {caption: "Ichk.", text: "File not found."});
      save("file-not-found.png", await page.screenshot());
    } finally {
      await brokenServer.close();
      rmSync(broken, {recursive: true, force: true});
    }
  });
});

describe("a browser without WebGL", () => {
  test("gets a sentence on the page, not a blank canvas", async () => {
    const server = await serveFolder(SITE);
    const browser = await launchBrowser(["--disable-webgl", "--disable-3d-apis"]);
    try {
      const page = await browser.newPage();
      await page.goto(server.url);
      await page.waitForState("no-webgl", LOAD_MS);
      const sentence = await page.evaluate("document.getElementById('no-webgl').innerText");
      assert.match(sentence, /needs WebGL 2/);
      save("no-webgl.png", await page.screenshot());
    } finally {
      await browser.close();
      await server.close();
    }
  });
});
