// The served page's script: the page, and the service worker that keeps
// the site for offline use.
import { startPage } from './page.mjs';

if ('serviceWorker' in navigator && location.protocol !== 'file:') {
  navigator.serviceWorker.register('sw.js').catch(() => {});
}
startPage();
