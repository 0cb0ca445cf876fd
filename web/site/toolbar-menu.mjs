// その他: on a narrow screen the toolbar keeps the commands used most and
// puts the rest in a panel that this button shows and hides. The panel
// closes when one of its commands runs, on Escape (focus goes back to the
// button), and on a press outside it. On a wide screen the button is not
// shown and the panel's commands stand in the toolbar.
import { $ } from './dom.mjs';

export function bindToolbarMenu() {
  const button = $('more');
  const menu = $('more-menu');
  const isOpen = () => button.getAttribute('aria-expanded') === 'true';
  const setOpen = (open) => {
    button.setAttribute('aria-expanded', String(open));
    menu.classList.toggle('open', open);
  };
  button.addEventListener('click', () => {
    setOpen(!isOpen());
    if (isOpen()) menu.querySelector('button, select, a')?.focus();
  });
  menu.addEventListener('click', (event) => {
    if (isOpen() && event.target.closest('button, a')) setOpen(false);
  });
  menu.addEventListener('change', () => {
    if (isOpen()) setOpen(false);
  });
  document.addEventListener('keydown', (event) => {
    if (event.key !== 'Escape' || !isOpen()) return;
    setOpen(false);
    button.focus();
  });
  document.addEventListener('pointerdown', (event) => {
    if (isOpen() && !menu.contains(event.target) && !button.contains(event.target)) setOpen(false);
  });
}
