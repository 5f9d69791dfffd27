// --- the program's other windows, as page elements: the launcher, the
// right-click menu, the about window, the error box and the ended notice.
// They show what the console says and report what the player does; what
// choosing and PLAY do is the console's to decide.
const MAKER_WEB_ADDRESS = 'http://www.example.org/vorlak/';
const MAKER_EMAIL_LINK = 'mailto:selvane@example.com';

function element(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (name === 'style') Object.assign(node.style, value);
    else node.setAttribute(name, value);
  }
  node.append(...children);
  return node;
}

// Placed as on the desktop (left, top, width, height in the window's client area).
function placed(x, y, w, h) {
  return { left: `${x}px`, top: `${y}px`, width: `${w}px`, height: `${h}px` };
}

function jpegUrl(files, name) {
  const jpeg = files.get(`pictures/${name}.jpg`);
  return jpeg ? URL.createObjectURL(new Blob([jpeg], { type: 'image/jpeg' })) : '';
}

// The launcher: its lists hold the console's entries; what is chosen and
// whether PLAY is enabled are read back from the console after every change.
// choices(): {sound, system, playEnabled}; on: {chooseSound, chooseSystem, play}.
function buildLauncher(files, soundEntries, systemEntries, choices, on) {
  const list = (id, entries, x, y, choose) => {
    const select = element('select', { id, style: placed(x, y, 97, 21), tabindex: '-1' },
      element('option', { value: '-1', hidden: '' }, ''),
      ...entries.map((text, i) => element('option', { value: String(i) }, text)));
    select.addEventListener('change', () => { choose(Number(select.value)); show(); });
    return select;
  };
  const sound = list('CB_Sound', soundEntries, 128, 264, on.chooseSound);
  const system = list('CB_System', systemEntries, 128, 292, on.chooseSystem);
  const play = element('button', { id: 'Puls_Play', type: 'button', tabindex: '-1', style: placed(90, 325, 65, 25) }, '- PLAY -');
  play.addEventListener('click', () => on.play());
  const root = element('div', { id: 'launcher', class: 'window', role: 'dialog', 'aria-label': 'About Vorlak...' },
    element('div', { class: 'title-bar' }, 'About Vorlak...'),
    element('div', { class: 'client' },
      element('div', { class: 'heading', style: placed(42, 16, 161, 15) }, 'Vorlak Simulator'),
      element('div', { class: 'heading', style: placed(42, 32, 161, 15) }, 'Version S3/2.03'),
      element('img', { id: 'Im_Piccina', alt: '', width: '86', height: '136', src: jpegUrl(files, 'Im_Piccina'),
                       style: placed(80, 56, 86, 136) }),
      element('div', { class: 'released', style: placed(7, 200, 233, 14) }, 'Released by _Selvane_ on June 8th, 2001'),
      element('a', { id: 'La_Http', class: 'link', href: MAKER_WEB_ADDRESS, target: '_blank', rel: 'noopener',
                     style: placed(30, 220, 187, 15) }, MAKER_WEB_ADDRESS),
      element('a', { id: 'La_Email', class: 'link', href: MAKER_EMAIL_LINK, style: placed(21, 242, 204, 15) },
        MAKER_EMAIL_LINK),
      element('label', { for: 'CB_Sound', style: placed(21, 267, 100, 14) }, 'Select sound mode:'),
      sound,
      element('label', { for: 'CB_System', style: placed(21, 295, 100, 14) }, '\u00a0Windows version:'),
      system,
      play));
  root.hidden = true;
  // The lists and the button as the console has them.
  function show() {
    const now = choices();
    sound.value = String(now.sound);
    system.value = String(now.system);
    play.disabled = !now.playEnabled;
    root.hidden = false;
  }
  return { root, sound, system, play, show, hide: () => { root.hidden = true; } };
}

// The right-click menu; its items run `actions[id]`, the disabled one nothing.
function buildMenu(actions) {
  const item = (id, caption, key, extra = {}) =>
    element('div', { id, role: 'menuitem', ...extra }, element('span', {}, ...caption), element('span', { class: 'key' }, key));
  const separator = () => element('div', { role: 'separator' });
  const root = element('div', { id: 'PM_Menu', role: 'menu' },
    item('PM_1About', ['About...'], 'F1', { class: 'default' }),
    separator(),
    item('PM_3Readme', ["View 'Readme.txt'"], 'F2'),
    item('PM_4Whatsnew', ["View 'Whatsnew.txt'"], 'F3'),
    separator(),
    item('PN_6Manual', ["Open 'Manual.exe'"], 'F4', { 'aria-disabled': 'true' }),
    separator(),
    item('PM_8Exit', ['E', element('u', {}, 'x'), 'it'], 'Esc'));
  root.hidden = true;
  const items = [...root.querySelectorAll('[role=menuitem]')];
  const enabled = items.filter((i) => !i.hasAttribute('aria-disabled'));
  let highlighted = null;
  const highlight = (item) => {
    for (const i of items) i.classList.toggle('highlighted', i === item);
    highlighted = item;
  };
  const run = (item) => {
    if (!item || item.hasAttribute('aria-disabled')) return;
    close();
    actions[item.id]?.();
  };
  for (const i of items) {
    i.addEventListener('click', () => run(i));
    i.addEventListener('mouseenter', () => highlight(i.hasAttribute('aria-disabled') ? null : i));
  }
  root.addEventListener('contextmenu', (event) => event.preventDefault());
  root.addEventListener('mousedown', (event) => event.preventDefault());  // the console keeps the keyboard
  function close() {
    root.hidden = true;
    highlight(null);
  }
  return {
    root,
    get open() { return !root.hidden; },
    // At a point of the page, kept within the window.
    openAt(pageX, pageY) {
      root.hidden = false;
      highlight(null);
      const width = root.offsetWidth, height = root.offsetHeight;
      root.style.left = `${Math.max(0, Math.min(pageX, innerWidth - width))}px`;
      root.style.top = `${Math.max(0, Math.min(pageY, innerHeight - height))}px`;
    },
    close,
    // A key while the menu is open is the menu's: the arrows move through
    // its items, Enter runs one, Esc closes it, an item's key runs it.
    key(event) {
      const step = { ArrowDown: 1, ArrowUp: -1 }[event.key];
      if (step) {
        const at = enabled.indexOf(highlighted);
        highlight(enabled[at < 0 ? (step > 0 ? 0 : enabled.length - 1) : (at + step + enabled.length) % enabled.length]);
      } else if (event.key === 'Enter') {
        run(highlighted);
      } else if (event.key === 'Escape') {
        close();
      } else {
        run(items.find((i) => i.querySelector('.key').textContent === event.key));
      }
    },
  };
}

// The about window, at the page's top left corner; closing hides it and
// runs `closed`.
function buildAbout(files, closed) {
  const rows = [
    ['My real name:', 'Ivo Selvane'],
    ['My birthplace:', 'Exampleton'],
    ['My birth date:', 'April 1st, 1975'],
    ['My current occupation:', 'Software tinkerer'],
    ['My hobby:', 'Pocket LCD games'],
  ];
  const close = element('button', { type: 'button', class: 'close', 'aria-label': 'Close' }, '\u00d7');
  const root = element('div', { id: 'AboutForm', class: 'window', role: 'dialog', 'aria-label': 'About the author...' },
    element('div', { class: 'title-bar' }, element('span', {}, 'About the author...'), close),
    element('div', { class: 'client' },
      element('div', { class: 'bevel', style: placed(9, 9, 256, 84) }),
      element('img', { id: 'Im_Foto', alt: '', width: '252', height: '84', src: jpegUrl(files, 'Im_Foto'),
                       style: placed(9, 9, 252, 84) }),
      ...rows.flatMap(([caption, value], i) => [
        element('div', { class: 'caption', style: placed(13, 104 + 24 * i, 130, 14) }, caption),
        element('div', { class: 'value', style: placed(141, 104 + 24 * i, 120, 14) }, value),
      ])));
  root.hidden = true;
  close.addEventListener('click', () => {
    root.hidden = true;
    closed();
  });
  return { root, show: () => { root.hidden = false; }, hide: () => { root.hidden = true; } };
}

// The standard error box: modal over the page, one OK button.
function showErrorBox(caption, text, closed) {
  const ok = element('button', { type: 'button' }, 'OK');
  const box = element('div', { class: 'modal' },
    element('div', { class: 'window message', role: 'alertdialog', 'aria-label': caption },
      element('div', { class: 'title-bar' }, caption),
      element('div', { class: 'message-body' }, element('span', { class: 'error-icon', 'aria-hidden': 'true' }, '\u00d7'),
        element('p', {}, text)),
      element('div', { class: 'buttons' }, ok)));
  ok.addEventListener('click', () => {
    box.remove();
    closed?.();
  });
  document.body.append(box);
  ok.focus();
  return box;
}

// The program has ended: a page cannot close itself, so it says so.
function showEnded() {
  document.body.append(element('div', { id: 'ended', role: 'status' },
    element('p', {}, 'Vorlak Simulator has ended.'), element('p', {}, 'Reload the page to start it again.')));
}

// A side document of the bundle, in a tab of its own as the browser shows text.
function openDocument(files, name) {
  const bytes = files.get(`docs/${name}`);
  if (!bytes) return null;  // as on the desktop, a missing document is not reported
  const url = URL.createObjectURL(new Blob([bytes], { type: 'text/plain; charset=utf-8' }));
  const opened = window.open(url, '_blank', 'noopener');
  setTimeout(() => URL.revokeObjectURL(url), 60000);
  return opened;
}
