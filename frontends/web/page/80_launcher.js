// --- the launcher and the right-click menu, as page elements. Their look
// only: what choosing and PLAY do is the console's to decide.
const MAKER_WEB_ADDRESS = 'http://www.example.org/vorlak/';
const MAKER_EMAIL_LINK = 'mailto:selvane@example.com';

const SOUND_CHOICES = ['Windows MM', 'DirectSound', '(no sound)'];
const SYSTEM_CHOICES = ['95, 98, ME, NT', '2000'];

function element(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (name === 'style') Object.assign(node.style, value);
    else node.setAttribute(name, value);
  }
  node.append(...children);
  return node;
}

// Placed as on the desktop (left, top, width, height in its 246 x 358 area).
function placed(x, y, w, h) {
  return { left: `${x}px`, top: `${y}px`, width: `${w}px`, height: `${h}px` };
}

function buildLauncher(files, stored) {
  const list = (id, choices, x, y, chosen) => {
    const select = element('select', { id, style: placed(x, y, 97, 21), tabindex: '-1' },
      element('option', { value: '-1', hidden: '' }, ''),
      ...choices.map((text, i) => element('option', { value: String(i) }, text)));
    select.value = chosen >= 0 && chosen < choices.length ? String(chosen) : '-1';
    return select;
  };
  const picture = element('img', { id: 'Im_Piccina', alt: '', width: '86', height: '136', style: placed(80, 56, 86, 136) });
  const jpeg = files.get('pictures/Im_Piccina.jpg');
  if (jpeg) picture.src = URL.createObjectURL(new Blob([jpeg], { type: 'image/jpeg' }));
  const sound = list('CB_Sound', SOUND_CHOICES, 128, 264, stored.soundMode);
  const system = list('CB_System', SYSTEM_CHOICES, 128, 292, stored.system);
  const play = element('button', { id: 'Puls_Play', type: 'button', tabindex: '-1', style: placed(90, 325, 65, 25) }, '- PLAY -');
  play.disabled = sound.value === '-1' || system.value === '-1';
  const launcher = element('div', { id: 'launcher', role: 'dialog', 'aria-label': 'About Vorlak...' },
    element('div', { class: 'title-bar' }, 'About Vorlak...'),
    element('div', { class: 'client' },
      element('div', { class: 'heading', style: placed(42, 16, 161, 15) }, 'Vorlak Simulator'),
      element('div', { class: 'heading', style: placed(42, 32, 161, 15) }, 'Version S3/2.03'),
      picture,
      element('div', { class: 'released', style: placed(7, 200, 233, 14) }, 'Released by _Selvane_ on June 8th, 2001'),
      element('a', { class: 'link', href: MAKER_WEB_ADDRESS, target: '_blank', rel: 'noopener', style: placed(30, 220, 187, 15) },
        MAKER_WEB_ADDRESS),
      element('a', { class: 'link', href: MAKER_EMAIL_LINK, style: placed(21, 242, 204, 15) }, MAKER_EMAIL_LINK),
      element('label', { for: 'CB_Sound', style: placed(21, 267, 100, 14) }, 'Select sound mode:'),
      sound,
      element('label', { for: 'CB_System', style: placed(21, 295, 100, 14) }, '\u00a0Windows version:'),
      system,
      play));
  launcher.hidden = true;
  return { launcher, sound, system, play };
}

function buildMenu() {
  const item = (id, caption, key, extra = {}) =>
    element('div', { id, role: 'menuitem', ...extra }, element('span', {}, ...caption), element('span', { class: 'key' }, key));
  const separator = () => element('div', { role: 'separator' });
  const menu = element('div', { id: 'PM_Menu', role: 'menu' },
    item('PM_1About', ['About...'], 'F1', { class: 'default' }),
    separator(),
    item('PM_3Readme', ["View 'Readme.txt'"], 'F2'),
    item('PM_4Whatsnew', ["View 'Whatsnew.txt'"], 'F3'),
    separator(),
    item('PN_6Manual', ["Open 'Manual.exe'"], 'F4', { 'aria-disabled': 'true' }),
    separator(),
    item('PM_8Exit', ['E', element('u', {}, 'x'), 'it'], 'Esc'));
  menu.hidden = true;
  return menu;
}

// Opens the menu at a point of the page, kept within the window.
function showMenu(menu, pageX, pageY) {
  menu.hidden = false;
  const width = menu.offsetWidth, height = menu.offsetHeight;
  menu.style.left = `${Math.max(0, Math.min(pageX, innerWidth - width))}px`;
  menu.style.top = `${Math.max(0, Math.min(pageY, innerHeight - height))}px`;
}
