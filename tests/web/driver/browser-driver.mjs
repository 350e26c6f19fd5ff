// Drives one of Debian's browsers for the web page tests, through
// puppeteer-core: chromium over the DevTools protocol, firefox-esr over
// WebDriver BiDi. The tests (tests/web/WebBrowser.cpp) send one JSON
// command a line on descriptor 3 and read one JSON answer a line on
// descriptor 4: {"id": n, "result": ...} or {"id": n, "error": "..."}.
//
//   node browser-driver.mjs chromium|firefox PROFILE_DIR EXECUTABLE
//
// EXECUTABLE is the Debian package's browser (/usr/bin/chromium,
// /usr/bin/firefox-esr): puppeteer-core never downloads one. It starts with
// the empty profile in PROFILE_DIR and no way out to the network. Firefox draws WebGL2 only on a real X display (DISPLAY); both
// play sound through whatever PULSE_SERVER names.
import fs from 'node:fs';
import readline from 'node:readline';
import puppeteer from 'puppeteer-core';

const [kind, profile, executablePath] = process.argv.slice(2);

const launchOptions = {
  chromium: {
    browser: 'chrome',
    executablePath,
    headless: true,
    pipe: true,
    userDataDir: profile,
    // Puppeteer mutes a headless chromium; the tests listen to it.
    ignoreDefaultArgs: ['--mute-audio'],
    args: [
      '--no-sandbox', // as root
      '--disable-gpu', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--no-first-run', '--no-default-browser-check',
      '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--disable-extensions', '--password-store=basic',
      // No name resolves: nothing can be fetched from anywhere.
      '--host-resolver-rules=MAP * ~NOTFOUND', '--force-color-profile=srgb',
      '--window-size=1920,1080',
    ],
  },
  firefox: {
    browser: 'firefox',
    executablePath,
    // Headless, firefox refuses WebGL on a machine without a GPU.
    headless: false,
    userDataDir: profile,
    // Beside puppeteer's own, which already turn off updates, telemetry,
    // safe browsing and the like: no name resolves and nothing is looked for
    // on the network by itself.
    extraPrefsFirefox: {
      'network.dns.disabled': true,
      'network.trr.mode': 5,
      'network.captive-portal-service.enabled': false,
      'network.connectivity-service.enabled': false,
      'network.predictor.enabled': false,
      'network.prefetch-next': false,
      'browser.region.update.enabled': false,
      'browser.region.network.url': '',
      'toolkit.telemetry.enabled': false,
      'extensions.systemAddon.update.enabled': false,
      // Sound: its threads get no real-time priority here (there is no
      // rtkit), so beside a busy processor the Web Audio graph's default
      // buffer of 10 ms runs dry many times a second; 4096 frames (85 ms at
      // 48 kHz) keep the tones whole. The page takes the output's latency
      // into account, whatever it is.
      'media.cubeb_latency_mtg_frames': 4096,
    },
  },
}[kind];
if (!launchOptions) {
  console.error(`usage: browser-driver.mjs chromium|firefox PROFILE_DIR EXECUTABLE (not '${kind}')`);
  process.exit(2);
}

const viewport = { width: 1920, height: 1080, deviceScaleFactor: 1 };
const browser = await puppeteer.launch({
  ...launchOptions,
  defaultViewport: viewport,
  protocolTimeout: 120000,
  // The browser's own messages go to the driver's standard error, the test's log.
  dumpio: true,
});
let page = null;
const requests = [];
const errors = [];

// A key as a person presses it: firefox knows the space bar only as ' '.
const keys = { Space: ' ' };

const commands = {
  async open({ url, preload }) {
    page = (await browser.pages())[0] ?? (await browser.newPage());
    // The first page of a firefox may keep its window's size otherwise.
    await page.setViewport(viewport);
    page.on('request', (request) => requests.push(request.url()));
    page.on('console', (message) => {
      if (message.type() === 'error') errors.push(message.text());
    });
    page.on('pageerror', (error) => errors.push(String(error)));
    if (preload) await page.evaluateOnNewDocument(preload);
    await page.goto(url, { waitUntil: 'load', timeout: 60000 });
    return null;
  },
  evaluate: ({ expression }) => page.evaluate(expression),
  screenshot: async () => page.screenshot({ type: 'png', encoding: 'base64' }),
  click: ({ x, y }) => page.mouse.click(x, y),
  press: ({ key }) => page.keyboard.press(keys[key] ?? key),
  log: async () => ({ requests, errors }),
  version: () => browser.version(),
};

const answers = fs.createWriteStream(null, { fd: 4 });
function answer(message) {
  answers.write(JSON.stringify(message) + '\n');
}

async function close() {
  try {
    await browser.close();
  } finally {
    process.exit(0);
  }
}
// Asked to stop (the test is ending, or has died), the browser goes first.
process.on('SIGTERM', close);

// One command at a time, in order, as the tests send them.
let queue = Promise.resolve();
const lines = readline.createInterface({ input: fs.createReadStream(null, { fd: 3 }) });
lines.on('line', (line) => {
  queue = queue.then(async () => {
    const { id, command, ...args } = JSON.parse(line);
    if (command === 'close') return close();
    try {
      const result = await commands[command](args);
      answer({ id, result: result ?? null });
    } catch (error) {
      answer({ id, error: `${command}: ${error.message}` });
    }
  });
});
lines.on('close', () => queue.then(close));
answer({ id: 0, result: await browser.version() });
