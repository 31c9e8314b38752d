// The browser version against the native one, side by side on this machine:
//
// - each scene's median and worst frame step in the browser (software WebGL: chromium's
//   SwiftShader) and natively (bench_scene_frames on Mesa's llvmpipe), at 640 x 480 x 16, at the
//   same moments of the show; a frame step is Animate, DrawFrame and the frame read back, which
//   waits until the frame is finished;
// - the bytes the page transfers, as they come from disk and compressed as a web server sends
//   them (gzip at its usual level 6);
// - the time from navigation to the dialog, and from navigation to the show's first frame when
//   the dialog is answered as soon as it is there (median of a few loads from a local server).
//
//   node bench/web_frames.mjs [frames per scene, default 60] [page loads, default 5]
//
// Needs ./build.sh web (build-web/site), the benchmark's own program beside it (cmake --build
// build-web/wasm --target lumenfall-bench_site, into build-web/wasm/bench-site; bench/web/) and
// the native benchmark (build/bench/bench_scene_frames, from ./build.sh test). The page's size
// and times are the site's; the frame steps come from the benchmark's program. The machine is
// shared: compare the ratios of one run, not figures of different runs.
import {execFileSync} from "node:child_process";
import {readdirSync, readFileSync, statSync} from "node:fs";
import {dirname, join, resolve} from "node:path";
import {fileURLToPath} from "node:url";
import {gzipSync} from "node:zlib";

import {launchBrowser, serveFolder} from "../tests/web/browser.mjs";

const ROOT = resolve(dirname(fileURLToPath(import.meta.url)), "..");
const SITE = process.env.LUMENFALL_WEB_SITE || join(ROOT, "build-web/site");
const BENCH_SITE = process.env.LUMENFALL_WEB_BENCH_SITE || join(ROOT, "build-web/wasm/bench-site");
const NATIVE = process.env.LUMENFALL_BENCH_NATIVE || join(ROOT, "build/bench/bench_scene_frames");
const frames = Number(process.argv[2] || 60);
const loads = Number(process.argv[3] || 5);
const LOAD_MS = 60000;

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

// Per scene {median, worst} of bench_scene_frames's 640 x 480 x 16 table.
function nativeScenes() {
  const text = execFileSync(NATIVE, [String(frames), "640x480x16"], {encoding: "utf8"});
  const scenes = [];
  for (const line of text.split("\n")) {
    const match = line.match(/^\s+(\d \w+)\s+([\d.]+)ms\s+([\d.]+)ms/);
    if (match) {
      scenes.push({name: match[1], median: Number(match[2]), worst: Number(match[3])});
    }
  }
  if (scenes.length !== 5) {
    throw new Error("bench_scene_frames said:\n" + text);
  }
  return scenes;
}

async function browserScenes(browser, url) {
  const page = await browser.newPage(640, 480);
  let result = null;
  browser.listeners.push((message) => {
    if (message.method === "Runtime.consoleAPICalled" && message.sessionId === page.sessionId) {
      const text = String(message.params.args[0]?.value ?? "");
      if (text.startsWith("lumenfall-bench ")) {
        result = JSON.parse(text.slice("lumenfall-bench ".length));
      }
    }
  });
  await page.goto(`${url}?bench=${frames}`);
  await page.waitForState("ended", LOAD_MS + frames * 5 * 2000);
  if (!result) {
    throw new Error("the page wrote no benchmark line; errors: " + page.errors.join("; "));
  }
  return result.scenes;
}

async function pageTimes(browser, url) {
  const dialog = [], firstFrame = [];
  for (let i = 0; i < loads; ++i) {
    const page = await browser.newPage(1024, 768);
    await page.goto(url);
    await page.waitForState("dialog", LOAD_MS);
    await page.press("Enter");
    await page.waitForState("playing", LOAD_MS);
    const times = await page.evaluate("LumenfallPage.stateTimes");
    dialog.push(times.dialog);
    firstFrame.push(times.playing);
    await page.send("Page.close");
  }
  return {dialog: median(dialog), firstFrame: median(firstFrame)};
}

function siteBytes(folder) {
  let raw = 0, gzip = 0;
  const files = [];
  const walk = (dir) => {
    for (const name of readdirSync(dir)) {
      const path = join(dir, name);
      if (statSync(path).isDirectory()) {
        walk(path);
        continue;
      }
      const bytes = readFileSync(path);
      const packed = gzipSync(bytes, {level: 6}).length;
      raw += bytes.length;
      gzip += packed;
      files.push({name: path.slice(folder.length + 1), raw: bytes.length, gzip: packed});
    }
  };
  walk(folder);
  return {raw, gzip, files};
}

const kib = (bytes) => (bytes / 1024).toFixed(0).padStart(6) + " KiB";

const native = nativeScenes();
const server = await serveFolder(SITE);
const benchServer = await serveFolder(BENCH_SITE);
const browser = await launchBrowser();
try {
  const web = await browserScenes(browser, benchServer.url);
  const times = await pageTimes(browser, server.url);
  const bytes = siteBytes(SITE);

  console.log(`frame steps at 640 x 480 x 16, ${frames} a scene (ms): browser | native | ratio`);
  console.log("  scene       median: web  native  ratio    worst: web  native  ratio");
  for (let i = 0; i < native.length; ++i) {
    const w = web[i], n = native[i];
    console.log(`  ${n.name.padEnd(10)} ${w.median.toFixed(2).padStart(11)} ` +
                `${n.median.toFixed(2).padStart(7)} ${(w.median / n.median).toFixed(2).padStart(6)}` +
                `${w.worst.toFixed(2).padStart(16)} ${n.worst.toFixed(2).padStart(7)} ` +
                `${(w.worst / n.worst).toFixed(2).padStart(6)}`);
  }
  console.log(`page: ${kib(bytes.raw)} from disk, ${kib(bytes.gzip)} gzip-compressed`);
  for (const file of bytes.files.sort((a, b) => b.gzip - a.gzip)) {
    console.log(`  ${file.name.padEnd(22)} ${kib(file.raw)} ${kib(file.gzip)}`);
  }
  console.log(`navigation to the dialog: ${times.dialog.toFixed(0)} ms; to the show's first ` +
              `frame (dialog answered at once): ${times.firstFrame.toFixed(0)} ms ` +
              `(median of ${loads} loads)`);
} finally {
  await browser.close();
  await server.close();
  await benchServer.close();
}
