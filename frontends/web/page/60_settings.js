// --- the two stored choices, as decimal text in the browser's storage, read
// as the desktop reads them: missing, or not a decimal integer, is -1.
const settings = {
  read(name) {
    let text = null;
    try { text = localStorage.getItem(name); } catch (e) { /* storage refused: nothing stored */ }
    if (text === null || !/^[+-]?[0-9]+$/.test(text)) return -1;
    const value = Number(text);
    return value >= -2147483648 && value <= 2147483647 ? value : -1;
  },
  write(name, value) {
    try { localStorage.setItem(name, String(Math.trunc(value))); } catch (e) { /* kept for this visit only */ }
  },
};
