// The output pane's zoom: Ctrl+plus and Ctrl+minus step through the font
// sizes the engine offers, Ctrl+0 goes back to the default, as do Ctrl with
// the mouse wheel and a pinch on a touch screen or a touchpad; the size is
// kept for the next visit.
import { storePaneSize } from './storage.mjs';

export const DEFAULT_PANE_SIZE = 16;

// The keys that zoom, by KeyboardEvent.key: "+" is Shift+";" on Japanese
// keyboards and "=" on others.
const STEPS = { '+': 1, ';': 1, '=': 1, '-': -1, '0': 0 };

export function bindPaneZoom(output, engine) {
  const [smallest, largest] = [engine.zoomedPaneSize(1, -1000), engine.zoomedPaneSize(1, 1000)];
  const zoomTo = (size) => {
    const clamped = Math.min(Math.max(Math.round(size), smallest), largest);
    output.zoom(clamped);
    storePaneSize(clamped);
  };
  const step = (steps) => zoomTo(steps === 0 ? DEFAULT_PANE_SIZE : engine.zoomedPaneSize(output.size, steps));
  document.addEventListener('keydown', (event) => {
    if (!(event.ctrlKey || event.metaKey) || event.altKey || document.querySelector('dialog[open]')) return;
    const steps = STEPS[event.key];
    if (steps === undefined) return;
    event.preventDefault();
    step(steps);
  });
  // A touchpad's pinch comes as the wheel with Ctrl.
  let wheel = 0;
  output.element.addEventListener('wheel', (event) => {
    if (!event.ctrlKey) return;
    event.preventDefault();
    wheel += event.deltaY;
    if (Math.abs(wheel) < 50) return;
    step(wheel < 0 ? 1 : -1);
    wheel = 0;
  }, { passive: false });
  // Two fingers: the size follows the distance between them.
  const touches = new Map();
  let pinch = null;
  const distance = () => {
    const [a, b] = [...touches.values()];
    return Math.hypot(a.x - b.x, a.y - b.y);
  };
  output.element.addEventListener('pointerdown', (event) => {
    if (event.pointerType !== 'touch') return;
    touches.set(event.pointerId, { x: event.clientX, y: event.clientY });
    if (touches.size === 2) pinch = { distance: distance(), size: output.size };
  });
  output.element.addEventListener('pointermove', (event) => {
    if (!touches.has(event.pointerId)) return;
    touches.set(event.pointerId, { x: event.clientX, y: event.clientY });
    if (pinch && touches.size === 2 && pinch.distance > 0) zoomTo(pinch.size * distance() / pinch.distance);
  });
  const lift = (event) => {
    touches.delete(event.pointerId);
    if (touches.size < 2) pinch = null;
  };
  output.element.addEventListener('pointerup', lift);
  output.element.addEventListener('pointercancel', lift);
}
