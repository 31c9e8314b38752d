// Debian's chromium, headless, driven through its DevTools protocol over a pipe (no WebSocket
// client and no npm package needed), with a static server for the site. Sections: the server ·
// the browser · a page.
import {spawn} from "node:child_process";
import {createServer} from "node:http";
import {mkdtempSync, readFileSync, rmSync, statSync} from "node:fs";
import {tmpdir} from "node:os";
import {extname, join, normalize} from "node:path";

// ---- The server --------------------------------------------------------------------------------
const TYPES = {
  ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".json": "application/json",
  ".wasm": "application/wasm",
};

// Serves `folder` on a free port of 127.0.0.1; resolves to {url, close}.
export function serveFolder(folder) {
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, "http://x").pathname));
    const file = join(folder, path.endsWith("/") ? path + "index.html" : path);
    let body = null;
    try {
      if (file.startsWith(folder) && statSync(file).isFile()) {
        body = readFileSync(file);
      }
    } catch {
      body = null;
    }
    if (body === null) {
      response.writeHead(404, {"content-type": "text/plain"});
      response.end("not found");
      return;
    }
    response.writeHead(200, {"content-type": TYPES[extname(file)] || "application/octet-stream"});
    response.end(body);
  });
  return new Promise((resolve) => {
    server.listen(0, "127.0.0.1", () => {
      resolve({
        url: `http://127.0.0.1:${server.address().port}/`,
        close: () => new Promise((done) => server.close(done)),
      });
    });
  });
}

// ---- The browser -------------------------------------------------------------------------------
export const CHROMIUM = process.env.LUMENFALL_CHROMIUM || "/usr/bin/chromium";

// Starts chromium; `extraFlags` adds to the flags every run needs (a fresh profile, no network
// of its own, WebGL 2 on the software renderer).
export async function launchBrowser(extraFlags = []) {
  const profile = mkdtempSync(join(tmpdir(), "lumenfall-chromium-"));
  const flags = [
    "--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--no-first-run", "--no-default-browser-check", "--disable-extensions",
    "--remote-debugging-pipe", `--user-data-dir=${profile}`, ...extraFlags, "about:blank",
  ];
  // A process group of its own, so that closing it takes its helper processes along.
  const child = spawn(CHROMIUM, flags,
                      {stdio: ["ignore", "ignore", "pipe", "pipe", "pipe"], detached: true});
  let stderr = "";
  child.stderr.on("data", (chunk) => { stderr = (stderr + chunk).slice(-4000); });
  const browser = new Browser(child, profile, () => stderr);
  await browser.send("Target.setDiscoverTargets", {discover: false});
  return browser;
}

class Browser {
  constructor(child, profile, stderr) {
    this.child = child;
    this.profile = profile;
    this.stderr = stderr;
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    this.exited = new Promise((resolve) => child.on("exit", resolve));
    const input = child.stdio[4];
    let buffered = Buffer.alloc(0);
    input.on("data", (chunk) => {
      buffered = Buffer.concat([buffered, chunk]);
      for (let end = buffered.indexOf(0); end >= 0; end = buffered.indexOf(0)) {
        this.receive(JSON.parse(buffered.subarray(0, end).toString("utf8")));
        buffered = buffered.subarray(end + 1);
      }
    });
    child.on("exit", () => {
      for (const {reject} of this.pending.values()) {
        reject(new Error("chromium ended: " + this.stderr()));
      }
      this.pending.clear();
    });
  }

  receive(message) {
    if (message.id !== undefined) {
      const waiting = this.pending.get(message.id);
      this.pending.delete(message.id);
      if (waiting) {
        if (message.error) {
          waiting.reject(new Error(`${waiting.method}: ${message.error.message}`));
        } else {
          waiting.resolve(message.result);
        }
      }
      return;
    }
    for (const listener of this.listeners) {
      listener(message);
    }
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.nextId++;
    const message = {id, method, params};
    if (sessionId) {
      message.sessionId = sessionId;
    }
    return new Promise((resolve, reject) => {
      this.pending.set(id, {resolve, reject, method});
      this.child.stdio[3].write(JSON.stringify(message) + "\0");
    });
  }

  async newPage(width = 1024, height = 768) {
    const {targetId} = await this.send("Target.createTarget", {url: "about:blank"});
    const {sessionId} = await this.send("Target.attachToTarget", {targetId, flatten: true});
    const page = new Page(this, sessionId);
    await page.send("Runtime.enable");
    await page.send("Log.enable");
    await page.send("Page.enable");
    await page.send("Emulation.setDeviceMetricsOverride",
                    {width, height, deviceScaleFactor: 1, mobile: false});
    return page;
  }

  async close() {
    try {
      await Promise.race([this.send("Browser.close"), this.exited]);
    } catch {
      // already gone
    }
    if (this.child.exitCode === null) {
      this.child.kill("SIGKILL");
    }
    await this.exited;
    // Its helper processes (renderer, GPU) may outlive it and go on writing the profile.
    try {
      process.kill(-this.child.pid, "SIGKILL");
    } catch {
      // the group has gone already
    }
    try {
      rmSync(this.profile, {recursive: true, force: true, maxRetries: 10, retryDelay: 100});
    } catch (error) {
      // A profile left in the temporary folder must not keep the tests' server open.
      console.warn(`chromium's profile ${this.profile} stays: ${error.message}`);
    }
  }
}

// ---- A page ------------------------------------------------------------------------------------
class Page {
  constructor(browser, sessionId) {
    this.browser = browser;
    this.sessionId = sessionId;
    // Console errors, uncaught exceptions and failed loads, as text.
    this.errors = [];
    browser.listeners.push((message) => {
      if (message.sessionId !== sessionId) {
        return;
      }
      const p = message.params;
      if (message.method === "Runtime.consoleAPICalled" && p.type === "error") {
        this.errors.push("console: " + p.args.map((a) => a.value ?? a.description).join(" "));
      } else if (message.method === "Runtime.exceptionThrown") {
        this.errors.push("exception: " + (p.exceptionDetails.exception?.description ||
                                          p.exceptionDetails.text));
      } else if (message.method === "Log.entryAdded" && p.entry.level === "error") {
        this.errors.push("log: " + p.entry.text + (p.entry.url ? " " + p.entry.url : ""));
      }
    });
  }

  send(method, params = {}) {
    return this.browser.send(method, params, this.sessionId);
  }

  async goto(url) {
    await this.send("Page.navigate", {url});
  }

  // The value of a JavaScript expression (JSON-able).
  async evaluate(expression) {
    const {result, exceptionDetails} = await this.send("Runtime.evaluate",
                                                       {expression, returnByValue: true,
                                                        awaitPromise: true});
    if (exceptionDetails) {
      throw new Error("evaluate: " + (exceptionDetails.exception?.description ||
                                      exceptionDetails.text));
    }
    return result.value;
  }

  state() {
    return this.evaluate("document.documentElement && document.documentElement.dataset.lumenfall");
  }

  // Until data-lumenfall is `wanted` (one state or a list); the states seen on the way.
  async waitForState(wanted, timeoutMs) {
    const states = [].concat(wanted);
    const seen = [];
    const end = Date.now() + timeoutMs;
    for (;;) {
      const now = await this.state();
      if (seen[seen.length - 1] !== now) {
        seen.push(now);
      }
      if (states.includes(now)) {
        return seen;
      }
      if (Date.now() > end) {
        throw new Error(`page state ${seen.join(" -> ")}, not ${states.join(" or ")} ` +
                        `after ${timeoutMs} ms; errors: ${this.errors.join("; ") || "none"}`);
      }
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
  }

  async screenshot() {
    const {data} = await this.send("Page.captureScreenshot", {format: "png"});
    return Buffer.from(data, "base64");
  }

  // The centre of the first element that matches the selector, in CSS pixels.
  async centreOf(selector) {
    const box = await this.evaluate(`(() => {
      const e = document.querySelector(${JSON.stringify(selector)});
      if (!e) return null;
      const r = e.getBoundingClientRect();
      return {x: r.x + r.width / 2, y: r.y + r.height / 2};
    })()`);
    if (!box) {
      throw new Error("no element " + selector);
    }
    return box;
  }

  async click(selector) {
    const {x, y} = await this.centreOf(selector);
    for (const type of ["mouseMoved", "mousePressed", "mouseReleased"]) {
      await this.send("Input.dispatchMouseEvent",
                      {type, x, y, button: "left", buttons: type === "mousePressed" ? 1 : 0,
                       clickCount: 1});
    }
  }

  // A key press and release: "Enter" or "Escape".
  async press(key) {
    const codes = {Enter: 13, Escape: 27};
    for (const type of ["rawKeyDown", "keyUp"]) {
      await this.send("Input.dispatchKeyEvent",
                      {type, key, code: key, windowsVirtualKeyCode: codes[key]});
    }
  }
}
