// The page around lumenfall: checks for WebGL 2, loads the program and its media with a progress
// bar, and gives the program (through `LumenfallPage`) its boxes, its start-up dialog, its waits
// and the end of the show. Sections: page state · waiting for input · boxes · the dialog ·
// buttons · loading.
"use strict";

(function () {
  const root = document.documentElement;
  const $ = (id) => document.getElementById(id);
  const params = new URLSearchParams(location.search);

  // ---- Page state ------------------------------------------------------------------------------
  // data-lumenfall: loading, dialog, playing, drawn (the ?at= frame is on screen), ended,
  // no-webgl, failed. Tests and links wait on it.
  // When each state was first reached, in milliseconds from the start of navigation (for the
  // benchmark).
  const stateTimes = {};
  function setState(state) {
    root.dataset.lumenfall = state;
    if (!(state in stateTimes)) {
      stateTimes[state] = performance.now();
    }
    $("loading").hidden = state !== "loading";
    $("ended").hidden = state !== "ended";
    if (state === "ended") {
      $("play-again").focus();
    }
  }

  // ---- Waiting for input -----------------------------------------------------------------------
  // The program sleeps here between looks at its messages; any input wakes it at once.
  let wake = null;
  function wakeProgram() {
    if (wake) {
      const resolve = wake;
      wake = null;
      resolve();
    }
  }
  function waitForInput(milliseconds) {
    return new Promise((resolve) => {
      const timer = setTimeout(() => { wake = null; resolve(); }, milliseconds);
      wake = () => { clearTimeout(timer); resolve(); };
    });
  }
  for (const type of ["keydown", "keyup", "mousedown", "mousemove", "touchstart", "resize",
                      "focus", "blur"]) {
    window.addEventListener(type, wakeProgram, true);
  }
  document.addEventListener("visibilitychange", wakeProgram);

  // ---- Boxes -----------------------------------------------------------------------------------
  // One at a time, as the program shows them; each waits for its OK (or Return, or Escape).
  function showBox(caption, text) {
    return new Promise((resolve) => {
      const layer = $("box-layer");
      layer.replaceChildren();
      const box = document.createElement("div");
      box.className = "window box";
      box.setAttribute("role", "alertdialog");
      box.setAttribute("aria-label", caption);
      const title = document.createElement("div");
      title.className = "caption";
      title.textContent = caption;
      const body = document.createElement("div");
      body.className = "body";
      const icon = document.createElement("span");
      icon.className = "icon";
      icon.textContent = "\u26A0";
      const words = document.createElement("div");
      words.className = "text";
      words.textContent = text;
      body.append(icon, words);
      const row = document.createElement("div");
      row.className = "row";
      const ok = document.createElement("button");
      ok.type = "button";
      ok.textContent = "OK";
      row.append(ok);
      box.append(title, body, row);
      layer.append(box);
      layer.hidden = false;
      const answer = () => {
        layer.hidden = true;
        layer.replaceChildren();
        resolve();
      };
      ok.addEventListener("click", answer);
      box.addEventListener("keydown", (event) => {
        event.stopPropagation();
        if (event.key === "Enter" || event.key === "Escape") {
          event.preventDefault();
          answer();
        }
      });
      ok.focus();
    });
  }

  // ---- The dialog ------------------------------------------------------------------------------
  // Built from the dialog core's view (controls at their template places, in pixels); what the
  // user does is queued for the program's dialog loop, which hands it to the dialog procedure.
  const actions = [];
  let dialogControls = [];

  function act(action) {
    actions.push(action);
    wakeProgram();
  }

  function place(element, control) {
    element.classList.add("control");
    element.style.left = control.x + "px";
    element.style.top = control.y + "px";
    element.style.width = control.width + "px";
    if (control.kind !== "combo") {
      element.style.height = control.height + "px";
    }
    // A control one line high keeps its text on that line, as the platform's controls do.
    element.classList.toggle("one-line", control.height < 26);
  }

  function makeControl(control) {
    let element;
    switch (control.kind) {
    case "button":
      element = document.createElement("button");
      element.type = "button";
      element.addEventListener("click", () => act({kind: "click", control: control.index}));
      break;
    case "check": {
      element = document.createElement("label");
      const box = document.createElement("input");
      box.type = "checkbox";
      box.addEventListener("click", (event) => {
        event.preventDefault(); // the procedure decides
        act({kind: "click", control: control.index});
      });
      element.append(box, document.createElement("span"));
      break;
    }
    case "combo":
      element = document.createElement("select");
      element.addEventListener("change",
        () => act({kind: "select", control: control.index, item: element.selectedIndex}));
      break;
    case "group":
      element = document.createElement("div");
      element.classList.add("group");
      element.append(document.createElement("span"));
      break;
    default:
      element = document.createElement("div");
    }
    place(element, control);
    return element;
  }

  function fillControl(element, control) {
    switch (control.kind) {
    case "combo": {
      const same = element.options.length === control.items.length &&
        control.items.every((item, i) => element.options[i].text === item);
      if (!same) {
        element.replaceChildren(...control.items.map((item) => new Option(item)));
      }
      element.selectedIndex = control.selection;
      break;
    }
    case "check":
      element.firstChild.checked = control.checked;
      element.lastChild.textContent = control.text;
      break;
    case "group":
      element.firstChild.textContent = control.text;
      break;
    default:
      element.textContent = control.text;
    }
    if ("disabled" in element) {
      element.disabled = !control.enabled;
    }
    element.classList.toggle("default", control.isDefault);
  }

  function openDialog(dialog) {
    const layer = $("dialog-layer");
    const window_ = document.createElement("div");
    window_.className = "window";
    window_.setAttribute("role", "dialog");
    window_.style.width = dialog.width + "px";
    window_.style.height = dialog.height + "px";
    dialogControls = dialog.controls.map((control) => {
      const element = makeControl(control);
      fillControl(element, control);
      window_.append(element);
      return element;
    });
    // Return and Escape work the dialog wherever its focus is; no key of it reaches the show.
    window_.addEventListener("keydown", (event) => {
      event.stopPropagation();
      if (event.key === "Enter" || event.key === "Escape") {
        event.preventDefault();
        act({kind: event.key === "Enter" ? "enter" : "escape"});
      }
    });
    window_.addEventListener("keyup", (event) => event.stopPropagation());
    layer.replaceChildren(window_);
    layer.hidden = false;
    const first = window_.querySelector("select") || window_.querySelector("button.default") ||
      window_.querySelector("button");
    if (first) {
      first.focus();
    }
  }

  function updateDialog(dialog) {
    dialog.controls.forEach((control, i) => {
      if (dialogControls[i]) {
        fillControl(dialogControls[i], control);
      }
    });
  }

  function closeDialog() {
    const layer = $("dialog-layer");
    layer.hidden = true;
    layer.replaceChildren();
    dialogControls = [];
    actions.length = 0;
    $("canvas").focus();
  }

  // ---- Buttons ---------------------------------------------------------------------------------
  function toggleFullScreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen();
    } else if (root.requestFullscreen) {
      root.requestFullscreen().catch(() => {});
    }
  }
  $("full-screen").addEventListener("click", toggleFullScreen);
  $("canvas").addEventListener("dblclick", toggleFullScreen);
  // Touch screens have no Escape key: this button is theirs.
  $("end-show").addEventListener("click", () => {
    for (const type of ["keydown", "keyup"]) {
      window.dispatchEvent(new KeyboardEvent(type, {key: "Escape", code: "Escape", keyCode: 27}));
    }
  });
  $("play-again").addEventListener("click", () => location.reload());
  let pointerTimer = 0;
  window.addEventListener("pointermove", () => {
    document.body.classList.add("pointer-moved");
    clearTimeout(pointerTimer);
    pointerTimer = setTimeout(() => document.body.classList.remove("pointer-moved"), 2000);
  });

  window.LumenfallPage = {
    setState, stateTimes, waitForInput, showBox, openDialog, updateDialog, closeDialog,
    takeDialogAction: () => actions.shift() || null,
  };

  // ---- Loading ---------------------------------------------------------------------------------
  function hasWebGL2() {
    try {
      return !!document.createElement("canvas").getContext("webgl2");
    } catch (error) {
      return false;
    }
  }

  // The file's bytes, or null when the site does not have it; `progress` hears of each chunk.
  async function fetchBytes(url, progress) {
    const response = await fetch(url);
    if (!response.ok) {
      return null;
    }
    const reader = response.body.getReader();
    const chunks = [];
    let length = 0;
    for (;;) {
      const {done, value} = await reader.read();
      if (done) {
        break;
      }
      chunks.push(value);
      length += value.length;
      progress(value.length);
    }
    const bytes = new Uint8Array(length);
    let at = 0;
    for (const chunk of chunks) {
      bytes.set(chunk, at);
      at += chunk.length;
    }
    return bytes;
  }

  // ?at=SECONDS draws that one moment; ?speed=N runs the clock N times faster; ?bench=N is the
  // benchmark's.
  function programArguments() {
    const list = [];
    for (const name of ["at", "speed", "bench"]) {
      if (params.has(name)) {
        list.push("--" + name, params.get(name));
      }
    }
    return list;
  }

  async function start() {
    if (!hasWebGL2()) {
      $("loading").hidden = true;
      $("no-webgl").hidden = false;
      root.dataset.lumenfall = "no-webgl";
      return;
    }
    setState("loading");
    const manifest = await (await fetch("media/files.json")).json();
    const total = manifest.wasmBytes + manifest.files.reduce((sum, file) => sum + file.bytes, 0);
    let arrived = 0;
    const progress = (bytes) => {
      arrived += bytes;
      $("loading-done").style.width = Math.min(100, (100 * arrived) / total).toFixed(1) + "%";
      $("loading-text").textContent = "loading " + Math.round(arrived / 1024) + " of " +
        Math.round(total / 1024) + " KiB";
    };
    const [wasm, ...media] = await Promise.all([
      fetchBytes("lumenfall.wasm", progress),
      ...manifest.files.map((file) => fetchBytes("media/" + file.name, progress)),
    ]);
    window.Module = {
      canvas: $("canvas"),
      arguments: programArguments(),
      wasmBinary: wasm,
      print: (text) => console.log(text),
      printErr: (text) => console.warn(text),
      // The program looks for its media in its working folder first. A file the site lacks is
      // left out: the program then says "File not found." as it would anywhere.
      preRun: [() => manifest.files.forEach((file, i) => {
        if (media[i]) {
          Module.FS.writeFile("/" + file.name, media[i]);
        }
      })],
      onAbort: (what) => {
        setState("failed");
        showBox("lumenfall", "The program stopped: " + what);
      },
    };
    const script = document.createElement("script");
    script.src = "lumenfall.js";
    document.body.append(script);
  }

  start().catch((error) => {
    setState("failed");
    showBox("lumenfall", "The page could not load: " + error);
  });
})();
