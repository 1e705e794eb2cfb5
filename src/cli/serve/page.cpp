// The page is plain ASCII: the program's string literals are code page
// 1252, and the page's few other characters are written as escapes.
#include "cli/serve/page.h"

namespace cli::serve {

const std::string& PageHtml() {
  static const std::string html = R"HTML(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Dravolin</title>
<link rel="stylesheet" href="/app.css">
<script src="/app.js" defer></script>
</head>
<body>
<header>
  <h1>Dravolin</h1>
  <label>Target <select id="target">
    <option value="mech6">Mech6 (AM_0 ... AM_12)</option>
    <option value="genius">Genius 14 (1, 2, 2a ... 8)</option>
  </select></label>
  <label>Template <select id="template"></select></label>
  <span id="status" role="status"></span>
</header>
<main>
  <aside>
    <div id="drop" class="drop">
      <p>Drop DXF drawings here, or</p>
      <input type="file" id="file-input" accept=".dxf,.DXF" multiple>
    </div>
    <div id="data-box" hidden>
      <h2>Drawings on the server</h2>
      <ul id="data-list"></ul>
    </div>
    <h2>Drawings</h2>
    <ul id="drawing-list"></ul>
    <div class="batch">
      <button id="batch-button" type="button" disabled>Convert all ticked</button>
      <progress id="batch-progress" value="0" max="1" hidden></progress>
    </div>
  </aside>
  <section id="work" hidden>
    <h2 id="drawing-name"></h2>
    <div class="row">
      <div class="panel grow">
        <h3>Current layout <span id="space-name"></span></h3>
        <p class="hint">Drag to pan, wheel to zoom, double-click to fit. Dimensions with a
          DIMLFAC override are marked; click one to pick it as the reference.</p>
        <div id="drawing" class="viewer"></div>
        <p>Reference: <strong id="reference"></strong>
          <button id="reference-auto" type="button">auto</button></p>
      </div>
      <div class="panel">
        <h3>The conversion's dialogs</h3>
        <div id="dialogs"></div>
        <div id="weights"></div>
      </div>
    </div>
    <div class="actions">
      <button id="preview-button" type="button">Preview</button>
      <button id="convert-button" type="button">Convert</button>
      <span id="downloads"></span>
    </div>
    <div id="result" class="panel" hidden>
      <h3 id="result-title"></h3>
      <div id="result-picture" class="viewer"></div>
      <div id="result-tables"></div>
      <h4>Messages</h4>
      <pre id="result-output"></pre>
    </div>
    <div class="panel" id="console-panel">
      <h3>Command line</h3>
      <p class="hint">Runs the host's commands on this drawing as the shell does (DRAVOLIN1,
        DRAVOLINGEN, ...); the messages, dialogs, file dialog and pick appear here as the
        command asks. Nothing is written.</p>
      <pre id="console"></pre>
      <div id="ask"></div>
      <input id="command" placeholder="Command, e.g. DRAVOLIN1" autocomplete="off">
      <button id="command-run" type="button">Run</button>
    </div>
    <details class="panel"><summary>Drawing facts (info)</summary><pre id="info"></pre></details>
  </section>
</main>
</body>
</html>
)HTML";
  return html;
}

const std::string& PageStyle() {
  static const std::string css = R"CSS(
body { font-family: sans-serif; margin: 0; color: #222; background: #f3f3f1; }
header { display: flex; gap: 1.5em; align-items: center; padding: .5em 1em; background: #2b3a4a; color: #fff; }
header h1 { font-size: 1.3em; margin: 0; }
#status { margin-left: auto; font-size: .9em; }
#status.good { color: #9e9; } #status.bad { color: #fbb; }
main { display: flex; gap: 1em; padding: 1em; align-items: flex-start; }
aside { width: 16em; flex: none; }
section { flex: 1; min-width: 0; }
h2 { font-size: 1.1em; } h3 { font-size: 1em; margin: .2em 0 .4em; }
.drop { border: 2px dashed #8a9; padding: .8em; background: #fff; }
.drop.over { background: #e6f4ea; }
ul { list-style: none; padding: 0; margin: 0; }
#drawing-list li, #data-list li { padding: .3em; border-bottom: 1px solid #ddd; cursor: pointer; display: flex; gap: .4em; align-items: center; }
#drawing-list li.current { background: #dde8f3; }
#drawing-list .state { margin-left: auto; font-size: .8em; color: #555; }
.row { display: flex; gap: 1em; align-items: flex-start; }
.panel { background: #fff; border: 1px solid #ccc; padding: .6em; margin-bottom: 1em; }
.grow { flex: 1; min-width: 0; }
.hint { font-size: .8em; color: #666; margin: 0 0 .4em; }
.viewer { height: 28em; border: 1px solid #bbb; background: #fff; overflow: hidden; touch-action: none; }
.viewer svg { width: 100%; height: 100%; cursor: grab; }
rect.dim { fill: rgba(0, 0, 0, 0); stroke: none; cursor: pointer; }
rect.dim.factor { fill: rgba(255, 170, 0, .18); stroke: #e08a00; }
rect.dim.picked { fill: rgba(0, 120, 255, .25); stroke: #0060d0; }
rect.dim:hover { fill: rgba(255, 120, 0, .4); }
.dialog { position: relative; background: #ece9d8; border: 1px solid #555; font: 11px sans-serif; margin-bottom: 1em; }
.dialog .caption { background: #0a246a; color: #fff; padding: 2px 4px; font-weight: bold; }
.dialog .client { position: relative; }
.dialog .control { position: absolute; box-sizing: border-box; font: 10px sans-serif; white-space: nowrap; overflow: hidden; }
.dialog button.chosen { outline: 2px solid #0060d0; }
.dialog button.default { font-weight: bold; }
.weights td { padding: 0 .5em; }
.carried { font-weight: bold; color: #0a5d1e; }
.actions { margin: 0 0 1em; display: flex; gap: 1em; align-items: center; }
.actions button, .batch button { font-size: 1em; padding: .3em 1em; }
table.facts { border-collapse: collapse; margin: .4em 0 1em; font-size: .9em; }
table.facts td, table.facts th { border: 1px solid #ccc; padding: 1px 6px; text-align: left; }
pre { white-space: pre-wrap; font-size: .85em; max-height: 24em; overflow: auto; }
#ask .question { border: 1px solid #888; background: #fffbe6; padding: .5em; margin: .5em 0; }
#ask .question button { margin: .2em; }
#console { background: #111; color: #ddd; min-height: 4em; }
.warn { color: #a40; } .bad { color: #b00; font-weight: bold; } .good { color: #070; }
)CSS";
  return css;
}

const std::string& PageScript() {
  static const std::string js = R"JS('use strict';
(function () {
  const state = {
    session: null, templates: [], defaults: {}, drawings: [], current: null,
    views: {}, answers: {}, busy: false,
  };
  const $ = (id) => document.getElementById(id);
  const SVGNS = 'http://www.w3.org/2000/svg';

  // Builds an element; texts always go in as text, never as markup.
  function el(tag, props, children) {
    const node = document.createElement(tag);
    for (const [key, value] of Object.entries(props || {})) {
      if (key === 'text') node.textContent = value;
      else if (key === 'class') node.className = value;
      else if (key === 'on') for (const [ev, fn] of Object.entries(value)) node.addEventListener(ev, fn);
      else node.setAttribute(key, value);
    }
    for (const child of children || []) node.append(child);
    return node;
  }
  function svgEl(tag, attrs) {
    const node = document.createElementNS(SVGNS, tag);
    for (const [key, value] of Object.entries(attrs || {})) node.setAttribute(key, value);
    return node;
  }
  function status(text, cls) {
    const s = $('status');
    s.textContent = text;
    s.className = cls || '';
  }

  async function api(method, path, body) {
    const headers = { 'X-Dravolin-Session': state.session };
    let payload;
    if (body instanceof FormData) payload = body;
    else if (body !== undefined) { headers['Content-Type'] = 'application/json'; payload = JSON.stringify(body); }
    const res = await fetch(path, { method, headers, body: payload });
    const type = res.headers.get('Content-Type') || '';
    const data = type.startsWith('application/json') ? await res.json() : await res.blob();
    if (!res.ok) {
      if (res.status === 413) throw new Error('the upload is larger than the server accepts');
      throw new Error((data && data.error) || ('HTTP ' + res.status));
    }
    return data;
  }

  async function startSession() {
    const res = await fetch('/api/session', { method: 'POST' });
    const data = await res.json();
    state.session = data.session;
    state.templates = data.templates;
    state.defaults = data.default_templates;
    fillTemplates();
    if (data.data) {
      $('data-box').hidden = false;
      const list = await api('GET', '/api/data');
      for (const name of list.files) {
        $('data-list').append(el('li', { text: name, on: { click: () => openData(name) } }));
      }
    }
    window.addEventListener('pagehide', () => {
      fetch('/api/session', { method: 'DELETE', keepalive: true,
        headers: { 'X-Dravolin-Session': state.session } });
    });
    status('Ready');
  }

  function fillTemplates() {
    const select = $('template');
    const target = $('target').value;
    select.replaceChildren();
    for (const name of state.templates) select.append(el('option', { value: name, text: name }));
    select.append(el('option', { value: 'none', text: 'none (cancel the choice)' }));
    select.value = state.defaults[target] || 'none';
  }

  function answersFor(id) {
    if (!state.answers[id]) {
      state.answers[id] = { reference: 'auto', lineweights: ['0.50', '0.35', '0.25'], layers: 'coarse' };
    }
    return state.answers[id];
  }
  function requestBody(id) {
    const a = answersFor(id);
    return { target: $('target').value, template: $('template').value, reference: a.reference,
      lineweights: a.lineweights, layers: a.layers };
  }

  async function upload(files) {
    const form = new FormData();
    let count = 0;
    for (const file of files) { form.append('file', file, file.name); count++; }
    if (!count) return;
    status('Uploading ' + count + ' drawing(s) ...');
    try {
      const data = await api('POST', '/api/drawings', form);
      added(data.drawings);
    } catch (e) { status(e.message, 'bad'); }
  }
  async function openData(name) {
    try { added((await api('POST', '/api/data/open', { name })).drawings); }
    catch (e) { status(e.message, 'bad'); }
  }
  function added(list) {
    for (const d of list) {
      state.drawings.push(d);
      const box = el('input', { type: 'checkbox', title: 'convert in the batch' });
      box.checked = true;
      box.addEventListener('click', (ev) => ev.stopPropagation());
      const row = el('li', { 'data-id': d.id, on: { click: () => select(d.id) } },
        [box, el('span', { text: d.name }), el('span', { class: 'state', text: '' })]);
      d.row = row; d.box = box;
      $('drawing-list').append(row);
    }
    $('batch-button').disabled = state.drawings.length === 0;
    status(list.length + ' drawing(s) added');
    if (!state.current && list.length) select(list[0].id);
  }

  async function select(id) {
    state.current = id;
    for (const d of state.drawings) d.row.classList.toggle('current', d.id === id);
    const d = state.drawings.find((x) => x.id === id);
    $('work').hidden = false;
    $('drawing-name').textContent = d.name;
    $('result').hidden = true;
    $('downloads').replaceChildren();
    downloadButtonsIfDone(id);
    await showView(id);
  }

  async function showView(id) {
    const target = $('target').value;
    const key = id + '/' + target;
    status('Reading the drawing ...');
    let view = state.views[key];
    if (!view) {
      try { view = await api('GET', '/api/drawings/' + id + '/view?target=' + target); }
      catch (e) { status(e.message, 'bad'); $('info').textContent = ''; return; }
      state.views[key] = view;
    }
    if (state.current !== id) return;
    $('info').textContent = view.info || '';
    $('space-name').textContent = view.space ? '"' + view.space + '"' : '';
    showDrawing(view, id);
    showDialogs(view, id);
    showReference(view, id);
    status('Ready');
  }

  // ---- the drawing, with pan and zoom --------------------------------------
  function putSvg(container, text) {
    container.replaceChildren();
    if (!text) { container.append(el('p', { text: 'Nothing to show.' })); return null; }
    const doc = new DOMParser().parseFromString(text, 'image/svg+xml');
    if (doc.documentElement.nodeName !== 'svg') return null;
    const svg = document.importNode(doc.documentElement, true);
    for (const s of svg.querySelectorAll('script, foreignObject')) s.remove();
    container.append(svg);
    panZoom(svg);
    return svg;
  }
  function viewBox(svg) { return svg.getAttribute('viewBox').split(/\s+/).map(Number); }
  function panZoom(svg) {
    const home = svg.getAttribute('viewBox');
    let drag = null;
    svg.addEventListener('wheel', (ev) => {
      ev.preventDefault();
      const [x, y, w, h] = viewBox(svg);
      const r = svg.getBoundingClientRect();
      const k = ev.deltaY > 0 ? 1.2 : 1 / 1.2;
      const fx = (ev.clientX - r.left) / r.width, fy = (ev.clientY - r.top) / r.height;
      const nw = w * k, nh = h * k;
      svg.setAttribute('viewBox', [x + (w - nw) * fx, y + (h - nh) * fy, nw, nh].join(' '));
    }, { passive: false });
    svg.addEventListener('pointerdown', (ev) => {
      drag = { x: ev.clientX, y: ev.clientY, box: viewBox(svg), moved: false };
    });
    svg.addEventListener('pointermove', (ev) => {
      if (!drag) return;
      const dx = ev.clientX - drag.x, dy = ev.clientY - drag.y;
      if (Math.abs(dx) + Math.abs(dy) > 3) drag.moved = true;
      if (!drag.moved) return;
      const r = svg.getBoundingClientRect();
      const [x, y, w, h] = drag.box;
      const s = Math.max(w / r.width, h / r.height);
      svg.setAttribute('viewBox', [x - dx * s, y - dy * s, w, h].join(' '));
    });
    const end = (ev) => {
      if (drag && drag.moved) { svg.dataset.dragged = '1'; setTimeout(() => delete svg.dataset.dragged, 0); }
      drag = null;
    };
    svg.addEventListener('pointerup', end);
    svg.addEventListener('pointerleave', () => { drag = null; });
    svg.addEventListener('dblclick', () => svg.setAttribute('viewBox', home));
  }

  function showDrawing(view, id) {
    const svg = putSvg($('drawing'), view.svg);
    if (!svg) return;
    const [, , w, h] = viewBox(svg);
    const pad = Math.max(w, h) * 0.006;
    const layer = svgEl('g', { class: 'dims' });
    for (const dim of view.dimensions || []) {
      const [x0, y0, x1, y1] = dim.box;
      const rect = svgEl('rect', { x: x0 - pad, y: y0 - pad, width: x1 - x0 + 2 * pad,
        height: y1 - y0 + 2 * pad, class: 'dim' + (dim.dimlfac !== null ? ' factor' : ''),
        'data-handle': dim.handle, 'vector-effect': 'non-scaling-stroke' });
      const title = svgEl('title');
      title.textContent = 'Dimension ' + dim.handle +
        (dim.dimlfac !== null ? ', DIMLFAC ' + dim.dimlfac : ', no DIMLFAC override') +
        (dim.measurement !== undefined ? ', measures ' + dim.measurement : '');
      rect.append(title);
      rect.addEventListener('click', () => {
        if (svg.dataset.dragged) return;
        if (inter.pick && inter.pick.candidates.some((c) => c.handle === dim.handle)) {
          answer({ handle: dim.handle });
          return;
        }
        answersFor(id).reference = dim.handle;
        showReference(view, id);
      });
      layer.append(rect);
    }
    svg.append(layer);
  }

  function showReference(view, id) {
    const a = answersFor(id);
    const shown = a.reference === 'auto' ? view.auto : a.reference;
    for (const r of $('drawing').querySelectorAll('rect.dim')) {
      r.classList.toggle('picked', r.getAttribute('data-handle') === shown);
    }
    $('reference').textContent = a.reference === 'auto'
      ? 'auto' + (view.auto ? ' (picks ' + view.auto + ')' : ' (finds nothing)')
      : a.reference;
  }

  // ---- the dialogs, laid out as their resources say ------------------------
  const DU_X = 1.5, DU_Y = 1.625;  // pixels per dialog unit, for an 8-point font
  function carriedCount(view, item) {
    const weight = Math.round(parseFloat(item) * 100);
    if (!Number.isFinite(weight)) return 0;
    return (view.lineweights || {})[String(weight)] || 0;
  }
  // A dialog laid out as its resource says: its combo boxes list their
  // entries (for the line-weight dialog, marked where the drawing carries
  // the weight); chosen: the entry each box shows, by control id.
  function buildDialog(dialog, view, chosen) {
    const client = el('div', { class: 'client' });
    client.style.width = Math.round((dialog.width || 200) * DU_X) + 'px';
    client.style.height = Math.round((dialog.height || 100) * DU_Y) + 'px';
    const frame = el('div', { class: 'dialog', id: 'dialog-' + dialog.id },
      [el('div', { class: 'caption', text: dialog.caption }), client]);
    const buttons = [], selects = [];
    for (const c of dialog.controls) {
      let node;
      if (c.kind === 'static') {
        node = el('span', { text: c.text });
      } else if (c.kind === 'combo') {
        node = el('select', { 'data-id': String(c.id) });
        const current = chosen(c.id) !== undefined ? chosen(c.id) : c.text;
        let found = false;
        for (const item of c.items) {
          const n = view && dialog.id === 200 ? carriedCount(view, item) : 0;
          const option = el('option', { value: item,
            text: item + (n ? ' \u25cf ' + n : ''), title: n ? n + ' entities carry it' : '' });
          if (n) option.className = 'carried';
          if (item === current) { option.selected = true; found = true; }
          node.append(option);
        }
        if (!found && current) {
          node.prepend(el('option', { value: current, text: current }));
          node.value = current;
        }
        selects.push(node);
      } else {
        node = el('button', { type: 'button', 'data-id': String(c.id), text: c.text,
          class: c.kind === 'default_button' ? 'default' : '' });
        buttons.push([c.id, node]);
      }
      node.classList.add('control');
      node.style.left = Math.round(c.x * DU_X) + 'px';
      node.style.top = Math.round(c.y * DU_Y) + 'px';
      node.style.width = Math.round(c.width * DU_X) + 'px';
      if (c.kind !== 'combo') node.style.height = Math.round(c.height * DU_Y) + 'px';
      client.append(node);
    }
    return { frame, buttons, selects };
  }

  function showDialogs(view, id) {
    const a = answersFor(id);
    const box = $('dialogs');
    box.replaceChildren();
    const combos = { 201: 0, 203: 1, 204: 2 };
    for (const dialog of view.dialogs || []) {
      const chosen = (cid) => (combos[cid] !== undefined && Array.isArray(a.lineweights)
        ? a.lineweights[combos[cid]] : undefined);
      const { frame, buttons, selects } = buildDialog(dialog, view, chosen);
      const markButtons = () => {
        for (const [cid, node] of buttons) {
          let on = false;
          if (dialog.id === 201) on = (a.layers === 'coarse') === (cid === 1);
          if (dialog.id === 200) on = (a.lineweights === 'cancel') === (cid === 2);
          node.classList.toggle('chosen', on);
        }
      };
      const typed = () => selects.map((s) => s.value);
      for (const node of selects) {
        node.addEventListener('change', () => {
          if (dialog.id === 200) a.lineweights = typed();
          markButtons();
        });
      }
      for (const [cid, node] of buttons) {
        node.addEventListener('click', () => {
          if (dialog.id === 201) a.layers = cid === 1 ? 'coarse' : 'fine';
          if (dialog.id === 200) a.lineweights = cid === 2 ? 'cancel' : typed();
          markButtons();
        });
      }
      markButtons();
      box.append(frame);
    }
    if (!(view.dialogs || []).length) box.append(el('p', { text: 'The conversion asks no dialog for this drawing.' }));
    // The line weights the entities carry, with how many carry each.
    const table = el('table', { class: 'weights facts' },
      [el('tr', {}, [el('th', { text: 'line weight' }), el('th', { text: 'entities' })])]);
    for (const [weight, count] of Object.entries(view.lineweights || {})) {
      const w = Number(weight);
      const name = w === -1 ? 'ByLayer' : w === -2 ? 'ByBlock' : w === -3 ? 'default' : (w / 100).toFixed(2) + ' mm';
      table.append(el('tr', {}, [el('td', { text: name }), el('td', { text: String(count) })]));
    }
    $('weights').replaceChildren(el('h3', { text: 'Line weights in the drawing' }), table);
  }

  // ---- preview and conversion ----------------------------------------------
  function lock(on) {
    state.busy = on;
    for (const b of ['preview-button', 'convert-button', 'batch-button']) $(b).disabled = on;
  }
  function factsTable(headings, rows) {
    const table = el('table', { class: 'facts' },
      [el('tr', {}, headings.map((h) => el('th', { text: h })))]);
    for (const row of rows) table.append(el('tr', {}, row.map((v) => el('td', { text: String(v) }))));
    return table;
  }
  function addScaleBar(svg) {
    const [x, y, w, h] = viewBox(svg);
    const want = w / 5;
    const step = Math.pow(10, Math.floor(Math.log10(want)));
    const len = [5, 2, 1].map((m) => m * step).find((v) => v <= want) || step;
    const bx = x + w * 0.04, by = y + h * 0.95;
    const g = svgEl('g', { class: 'scale-bar' });
    g.append(svgEl('rect', { x: bx, y: by - h * 0.012, width: len, height: h * 0.012, fill: '#000' }));
    const t = svgEl('text', { x: bx, y: by - h * 0.02, 'font-size': h * 0.03, fill: '#000' });
    t.textContent = len + ' drawing units (true size)';
    g.append(t);
    svg.append(g);
  }
  function showReport(entry) {
    const out = $('result-tables');
    out.replaceChildren();
    if (!entry) return;
    const pictures = (entry.pictures && entry.pictures.after) || [];
    const model = pictures.find((p) => p.space === 'Model') || pictures[0];
    const svg = model ? putSvg($('result-picture'), model.svg) : null;
    if (svg) addScaleBar(svg);
    const changes = entry;
    if (changes.layers) {
      out.append(el('h4', { text: 'Entities per layer' }),
        factsTable(['layer', 'before', 'after'], changes.layers.map((l) => [l.name, l.before, l.after])));
    }
    if (changes.layers_created && changes.layers_created.length) {
      out.append(el('p', { text: 'Layers created: ' + changes.layers_created.join(', ') }));
    }
    if (changes.deleted && changes.deleted.count) {
      out.append(el('p', { text: 'Deleted: ' + Object.entries(changes.deleted.by_type)
        .map(([t, n]) => n + ' ' + t).join(', ') }));
    }
    const cleaned = changes.dimension_texts_cleaned;
    if (cleaned && cleaned.items && cleaned.items.length) {
      out.append(el('h4', { text: 'Dimension texts cleaned: ' + cleaned.count }),
        factsTable(['handle', 'before', 'after'], cleaned.items.map((d) => [d.handle, d.before, d.after])));
    }
    if (changes.rewritten && changes.rewritten.length) {
      out.append(el('h4', { text: 'Properties rewritten' }),
        factsTable(['type', 'property', 'from', 'to', 'count'],
          changes.rewritten.map((r) => [r.type, r.property, r.from, r.to, r.count])));
    }
    const scaled = changes.dimensions_rescaled;
    if (scaled && scaled.items && scaled.items.length) {
      out.append(el('h4', { text: 'Dimensions rescaled: ' + scaled.count }),
        factsTable(['handle', 'DIMLFAC before', 'after'],
          scaled.items.map((d) => [d.handle, d.dimlfac_before, d.dimlfac_after])));
    }
    const check = entry.check || changes.check;
    if (check) {
      const ok = check.ok;
      out.append(el('h4', { class: ok ? 'good' : 'bad',
        text: 'Dimension check: ' + (ok ? 'every displayed value kept' : 'values changed') }));
      if (check.changed && check.changed.length) {
        out.append(factsTable(['handle', 'layout', 'before', 'after'],
          check.changed.map((c) => [c.handle, c.layout, c.before, c.after])));
      }
    }
  }
  function showRun(title, data) {
    $('result').hidden = false;
    $('result-title').textContent = title;
    $('result-picture').replaceChildren();
    const text = [data.failure, data.errors, data.output].filter((t) => t).join('\n');
    $('result-output').textContent = text + (data.transcript ? '\n--- transcript ---\n' + data.transcript : '');
    $('result-title').className = data.exit_code === 0 ? 'good' : 'bad';
  }

  async function preview() {
    const id = state.current;
    if (!id || state.busy) return;
    lock(true);
    status('Preview (dry run) ...');
    try {
      const data = await api('POST', '/api/drawings/' + id + '/preview', requestBody(id));
      showRun(data.exit_code === 0 ? 'Preview: the result in model space (nothing written)'
        : 'Preview: the conversion would fail', data);
      const report = data.report;
      showReport(report && report.drawings ? report.drawings[0] : report);
      status(data.exit_code === 0 ? 'Preview ready' : 'Preview failed', data.exit_code === 0 ? 'good' : 'bad');
    } catch (e) { status(e.message, 'bad'); }
    lock(false);
  }

  async function download(id, kind) {
    const blob = await api('GET', '/api/drawings/' + id + '/download/' + kind);
    const d = state.drawings.find((x) => x.id === id);
    const stem = d.name.replace(/\.dxf$/i, '') + '-' + (d.converted || $('target').value);
    const name = stem + (kind === 'dxf' ? '.dxf' : kind === 'transcript' ? '.transcript.txt' : '.report.html');
    const url = URL.createObjectURL(blob);
    const a = el('a', { href: url, download: name });
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }
  function downloadButtons(id) {
    const box = $('downloads');
    box.replaceChildren();
    for (const [kind, label] of [['dxf', 'Download DXF'], ['transcript', 'Transcript'], ['report', 'HTML report']]) {
      box.append(el('button', { type: 'button', id: 'download-' + kind, text: label,
        on: { click: () => download(id, kind).catch((e) => status(e.message, 'bad')) } }));
    }
  }

  async function convertOne(id) {
    const d = state.drawings.find((x) => x.id === id);
    d.row.querySelector('.state').textContent = 'converting';
    const body = requestBody(id);
    d.converted = null;
    const data = await api('POST', '/api/drawings/' + id + '/convert', body);
    d.converted = data.written ? body.target : null;
    d.row.querySelector('.state').textContent = data.written ? 'converted' : 'failed';
    return data;
  }
  async function convert() {
    const id = state.current;
    if (!id || state.busy) return;
    lock(true);
    status('Converting ...');
    try {
      const data = await convertOne(id);
      showRun(data.written ? 'Converted' : 'The conversion failed, nothing written', data);
      if (data.written) downloadButtons(id); else $('downloads').replaceChildren();
      status(data.written ? 'Converted' : 'Failed', data.written ? 'good' : 'bad');
    } catch (e) { status(e.message, 'bad'); }
    lock(false);
  }
  async function batch() {
    if (state.busy) return;
    const list = state.drawings.filter((d) => d.box.checked);
    if (!list.length) return;
    lock(true);
    const bar = $('batch-progress');
    bar.hidden = false; bar.max = list.length; bar.value = 0;
    for (const d of list) d.row.querySelector('.state').textContent = 'waiting';
    let failed = 0;
    for (const d of list) {
      status('Converting ' + d.name + ' (' + (bar.value + 1) + ' of ' + list.length + ')');
      try { if (!(await convertOne(d.id)).written) failed++; }
      catch (e) { failed++; d.row.querySelector('.state').textContent = 'failed'; }
      bar.value += 1;
    }
    status(list.length - failed + ' of ' + list.length + ' converted', failed ? 'bad' : 'good');
    if (state.current) downloadButtonsIfDone(state.current);
    lock(false);
  }
  function downloadButtonsIfDone(id) {
    const d = state.drawings.find((x) => x.id === id);
    if (d && d.converted) downloadButtons(id);
  }

  // ---- the command line ----------------------------------------------------
  const inter = { id: null, stream: null, ended: true, pick: null };
  function say(text) {
    const c = $('console');
    c.textContent += text;
    c.scrollTop = c.scrollHeight;
  }
  function answer(reply) {
    $('ask').replaceChildren();
    inter.pick = null;
    api('POST', '/api/interactive/send', reply).catch((e) => status(e.message, 'bad'));
  }
  function question(title, children) {
    status('The command asks a question');
    $('ask').replaceChildren(el('div', { class: 'question' }, [el('strong', { text: title }), el('br'), ...children]));
  }
  function handleEvent(ev) {
    if (ev.type === 'print') say(ev.text);
    else if (ev.type === 'error' || ev.type === 'abort') say('\n' + ev.text + '\n');
    else if (ev.type === 'idle') { $('command').disabled = false; status('Command line ready'); }
    else if (ev.type === 'message') {
      question(ev.caption || 'Message', [el('p', { text: ev.text }),
        el('button', { type: 'button', id: 'ask-ok', text: 'OK', on: { click: () => answer({ ok: true }) } })]);
    } else if (ev.type === 'dialog') {
      const view = state.views[inter.id + '/' + $('target').value];
      const { frame, buttons, selects } = buildDialog(ev, view, () => undefined);
      frame.id = 'ask-dialog-' + ev.id;
      for (const [cid, node] of buttons) {
        node.addEventListener('click', () => answer({ button: cid,
          texts: selects.map((s) => [Number(s.getAttribute('data-id')), s.value]) }));
      }
      question('The command asks:', [frame]);
    } else if (ev.type === 'file') {
      const list = ev.files.map((name) => el('button', { type: 'button', class: 'file', text: name,
        on: { click: () => answer({ file: name }) } }));
      question('Choose a file (' + ev.filter + ')', [...list,
        el('button', { type: 'button', text: 'Cancel', on: { click: () => answer({ file: null }) } })]);
    } else if (ev.type === 'pick') {
      inter.pick = ev;
      const list = ev.candidates.map((c) => el('button', { type: 'button', class: 'pick',
        'data-handle': c.handle, text: c.description, on: { click: () => answer({ handle: c.handle }) } }));
      question(ev.prompt + ' (or click the dimension in the drawing)', [...list,
        el('button', { type: 'button', text: 'Cancel', on: { click: () => answer({ handle: null }) } })]);
    }
  }
  // The command line's events arrive as server-sent events; the answers go
  // back by POST. The stream ends with the command line.
  function listen() {
    if (inter.stream) inter.stream.close();
    const stream = new EventSource('/api/interactive/stream?session=' + encodeURIComponent(state.session));
    inter.stream = stream;
    stream.onmessage = (msg) => {
      if (inter.stream !== stream) return;
      let ev;
      try { ev = JSON.parse(msg.data); } catch (e) { return; }
      handleEvent(ev);
    };
    stream.addEventListener('end', () => {
      stream.close();
      if (inter.stream !== stream) return;
      inter.stream = null;
      inter.ended = true;
      say('\n[the command line has ended]\n');
      $('command').disabled = false;
    });
    stream.onerror = () => {
      if (stream.readyState === EventSource.CLOSED && inter.stream === stream) {
        inter.stream = null;
        inter.ended = true;
        status('The command line cannot be reached', 'bad');
        $('command').disabled = false;
      }
    };
  }
  async function runCommand() {
    const line = $('command').value.trim();
    const id = state.current;
    if (!line || !id) return;
    $('command').value = '';
    $('command').disabled = true;
    try {
      if (inter.id !== id || inter.ended) {
        $('console').textContent = '';
        await api('POST', '/api/drawings/' + id + '/interactive');
        Object.assign(inter, { id, ended: false, pick: null });
        listen();
      }
      say(line + '\n');
      status('Running ' + line);
      await api('POST', '/api/interactive/send', { command: line });
    } catch (e) { status(e.message, 'bad'); $('command').disabled = false; }
  }

  document.addEventListener('DOMContentLoaded', () => {
    $('command-run').addEventListener('click', runCommand);
    $('command').addEventListener('keydown', (ev) => { if (ev.key === 'Enter') runCommand(); });
    $('file-input').addEventListener('change', (ev) => { upload(ev.target.files); ev.target.value = ''; });
    const drop = $('drop');
    drop.addEventListener('dragover', (ev) => { ev.preventDefault(); drop.classList.add('over'); });
    drop.addEventListener('dragleave', () => drop.classList.remove('over'));
    drop.addEventListener('drop', (ev) => { ev.preventDefault(); drop.classList.remove('over'); upload(ev.dataTransfer.files); });
    $('target').addEventListener('change', () => {
      fillTemplates();
      if (state.current) select(state.current);
    });
    $('reference-auto').addEventListener('click', () => {
      const id = state.current;
      if (!id) return;
      answersFor(id).reference = 'auto';
      showReference(state.views[id + '/' + $('target').value] || {}, id);
    });
    $('preview-button').addEventListener('click', preview);
    $('convert-button').addEventListener('click', convert);
    $('batch-button').addEventListener('click', batch);
    startSession().catch((e) => status('Cannot start a session: ' + e.message, 'bad'));
  });
})();
)JS";
  return js;
}

}  // namespace cli::serve
