// The page's commands: for each, its toolbar button, its keyboard shortcut
// (the key with Ctrl, or ⌘ on a Mac; with Shift too when `shift`, with or
// without it otherwise) and what it does with the page's parts (see
// page.mjs). A new command is a module under commands/ and a row here.
import { showAbout } from './commands/about.mjs';
import { copyOutput } from './commands/copy.mjs';
import { reverseInput } from './commands/reverse.mjs';
import { saveEbook } from './commands/save-ebook.mjs';
import { savePicture } from './commands/save-picture.mjs';
import { saveText } from './commands/save-text.mjs';
import { editPageSetup } from './commands/page-setup.mjs';
import { toggleVerticalView } from './commands/vertical-view.mjs';

export const COMMANDS = [
  { button: 'open', key: 'o', run: (app) => app.openCommand.run() },
  { button: 'save', key: 's', run: saveText },
  { button: 'reverse', run: reverseInput },
  { button: 'copy', key: 'c', shift: true, run: copyOutput },
  { button: 'picture', run: savePicture },
  { button: 'ebook', run: saveEbook },
  { button: 'page-setup', run: editPageSetup },
  { button: 'vertical-view', run: toggleVerticalView },
  { button: 'settings', run: (app) => app.settingsDialog.open() },
  { button: 'about', run: showAbout },
];

// Runs each command from its button and its shortcut. Shortcuts do nothing
// while a dialog is open.
export function bindCommands(app, commands = COMMANDS) {
  for (const command of commands) {
    document.getElementById(command.button).addEventListener('click', () => command.run(app));
  }
  document.addEventListener('keydown', (event) => {
    if (!(event.ctrlKey || event.metaKey) || document.querySelector('dialog[open]')) return;
    const key = event.key.toLowerCase();
    const command = commands.find((c) => c.key === key && (!c.shift || event.shiftKey));
    if (!command) return;
    event.preventDefault();
    command.run(app);
  });
}
