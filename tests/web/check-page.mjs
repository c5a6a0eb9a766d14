// Drives Debian's chromium (software WebGL 2 through SwiftShader) over the browser build as the score server serves
// it, and prints what it saw, one "name: value" line each, for tests/web/PageTest.cpp to judge:
//   closing: the line the page shows when the watched game ends     lit: the share of the canvas not black, per mille
//   menu-lit: the same over the menu, the intro taken away by Escape
//   escape: what the page says after Escape was pressed mid-watch   error: each console error or page error
//   sound-before, sound-after: the page's AudioContext before the first key and after it
//   notice: what the page says to a desktop visitor before playing (nothing)
//   pad: what the page says once a synthetic pad has chosen pad controls in the options and answered the menu's
//        question "yes"
//   pad-held: the frames made while the pad was held down over the options, and the milliseconds it was held
//   touch: what the page says on a touch screen without keys    touch-best: where its best game's link leads
//   touch-gap: the pixels between the playfield's bottom and the top of that notice (below 0 where it covers it)
// usage: node check-page.mjs BASE_URL GAME_HASH PROFILE_FOLDER
import {launchChromium} from './chromium.mjs';

const [base, game, profile] = process.argv.slice(2);
const WatchLimitMs = 240000; // a watch runs in real time, slower where software GL can't keep up
const browser = await launchChromium(profile);

async function open(url, {touch = false, pad = false} = {}) {
    const page = await browser.newPage();
    await page.setViewport({width: 640, height: 480, isMobile: touch, hasTouch: touch});
    if (pad) await page.evaluateOnNewDocument(plugSyntheticPad);
    await page.evaluateOnNewDocument(holdSoundBack);
    page.on('console', (message) => { if (message.type() === 'error') console.log('error: ' + message.text()); });
    page.on('pageerror', (error) => console.log('error: ' + error.message));
    await page.goto(url, {waitUntil: 'load'});
    return page;
}

// The share of the page's picture that is not black, from a screenshot decoded by the browser itself.
async function lit(page) {
    const shot = await page.screenshot({encoding: 'base64'});
    return page.evaluate(async (png) => {
        const picture = new Image();
        picture.src = 'data:image/png;base64,' + png;
        await picture.decode();
        const canvas = new OffscreenCanvas(picture.width, picture.height);
        const context = canvas.getContext('2d');
        context.drawImage(picture, 0, 0);
        const pixels = context.getImageData(0, 0, picture.width, picture.height).data;
        let bright = 0;
        for (let i = 0; i < pixels.length; i += 4) bright += pixels[i] + pixels[i + 1] + pixels[i + 2] > 96 ? 1 : 0;
        return Math.round(1000 * bright / (pixels.length / 4));
    }, shot);
}

const message = (page) => page.evaluate(() => document.getElementById('message').textContent);

// A pad of the standard mapping behind the Gamepad API, its buttons and axes set by the test (window.testPad).
function plugSyntheticPad() {
    const pad = {id: 'synthetic pad', index: 0, connected: true, mapping: 'standard', timestamp: 0, axes: [0, 0, 0, 0],
                 buttons: Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}))};
    window.testPad = pad;
    Object.defineProperty(Navigator.prototype, 'getGamepads', {value: () => [pad, null, null, null]});
}

// Browsers hold a page's sound back until the visitor's first key or click; headless chromium lets every
// AudioContext run from the start, so here each one starts suspended, as a browser on a desktop starts it.
function holdSoundBack() {
    window.AudioContext = class extends AudioContext {
        constructor(...options) {
            super(...options);
            this.suspend();
        }
    };
}

// Waits until the game has made some more frames (whatever the machine's load), so that what was pressed is read.
async function frames(page, count) {
    const shown = await page.evaluate(() => Module.kestrovarFrames.shown);
    await page.waitForFunction((until) => Module.kestrovarFrames.shown >= until, {timeout: 60000}, shown + count);
}

async function key(page, name) {
    await page.keyboard.press(name);
    await frames(page, 3);
}

async function padButton(page, button) {
    for (const pressed of [true, false]) {
        await page.evaluate((b, down) => {
            testPad.buttons[b] = {pressed: down, touched: down, value: down ? 1 : 0};
            testPad.timestamp += 1;
        }, button, pressed);
        await frames(page, 3);
    }
}

const audioState = (page) => page.evaluate(() => Module.kestrovarAudio.context.state);

try {
    // The program: the sound waits for the first key; Escape takes the intro away, and the menu's neon lights the
    // canvas.
    const program = await open(`${base}play/`, {pad: true});
    await program.waitForFunction(() => typeof Module !== 'undefined' && Module.kestrovarFrames, {timeout: 60000});
    console.log('notice: ' + await message(program));
    console.log('sound-before: ' + await audioState(program));
    await program.keyboard.press('Space');
    await program.waitForFunction(() => Module.kestrovarAudio.context.state === 'running', {timeout: 30000})
        .catch(() => {});
    console.log('sound-after: ' + await audioState(program));
    await key(program, 'Escape');
    await frames(program, 5);
    console.log('menu-lit: ' + await lit(program));

    // The pad: Tab opens the options, two lines up is the controls' line, the pad's A chooses pad controls (only if
    // the game sees a pad); back in the menu Escape asks whether to leave, and the pad's left says yes.
    await key(program, 'Tab');
    await key(program, 'ArrowUp');
    await key(program, 'ArrowUp');
    await padButton(program, 0);
    // Held down, the pad moves the options' line once a pause: the frames wait each pause out.
    const pressDown = (down) => program.evaluate((pressed) => {
        testPad.buttons[13] = {pressed, touched: pressed, value: pressed ? 1 : 0};
        testPad.timestamp += 1;
        return [Module.kestrovarFrames.made, performance.now()];
    }, down);
    const heldFrom = await pressDown(true);
    await new Promise((done) => setTimeout(done, 1000));
    const heldTo = await pressDown(false);
    console.log(`pad-held: ${heldTo[0] - heldFrom[0]} ${Math.round(heldTo[1] - heldFrom[1])}`);
    await key(program, 'Escape');
    await key(program, 'Escape');
    await program.evaluate(() => {
        testPad.buttons[14] = {pressed: true, touched: true, value: 1};
        testPad.timestamp += 1;
    });
    // Ended, or given a second of the game's frames to end in (as many as the machine's load lets it make).
    const shown = await program.evaluate(() => Module.kestrovarFrames.shown);
    await program.waitForFunction((until) => !document.getElementById('message').hidden ||
                                      Module.kestrovarFrames.shown >= until, {timeout: 120000}, shown + 60);
    console.log('pad: ' + await message(program));
    await program.close();

    // A touch screen without keys: the page says why it can't be played and offers the board's best game.
    const touch = await open(`${base}play/`, {touch: true});
    await touch.waitForSelector('#message a[href*="?game="]', {timeout: 60000}).catch(() => {});
    console.log('touch: ' + await message(touch));
    console.log('touch-best: ' + await touch.evaluate(() => document.querySelector('#message a')?.href ?? ''));
    console.log('touch-gap: ' + await touch.evaluate(() => Math.round(
        document.getElementById('message').getBoundingClientRect().top -
        document.getElementById('canvas').getBoundingClientRect().bottom)));
    await touch.close();

    // A whole watch, one click from the board's top row: the neon on the way, the closing line at the end.
    const watch = await open(base);
    await Promise.all([watch.waitForNavigation({waitUntil: 'load'}),
                       watch.click('tbody tr:first-child a[href*="play/?game="]')]);
    await watch.waitForFunction(() => typeof Module !== 'undefined' && Module.calledRun, {timeout: 60000});
    await new Promise((done) => setTimeout(done, 1500));
    console.log('lit: ' + await lit(watch));
    await watch.waitForFunction(() => document.getElementById('message').textContent.startsWith('end='),
                                {timeout: WatchLimitMs, polling: 250});
    console.log('closing: ' + await message(watch));
    await watch.close();

    // Keys reach the game: Escape leaves a watch.
    const stopped = await open(`${base}play/?game=${game}`);
    await stopped.waitForFunction(() => typeof Module !== 'undefined' && Module.calledRun, {timeout: 60000});
    await new Promise((done) => setTimeout(done, 500));
    await stopped.keyboard.down('Escape');
    await new Promise((done) => setTimeout(done, 300));
    await stopped.keyboard.up('Escape');
    await stopped.waitForFunction(() => !document.getElementById('message').hidden, {timeout: 60000});
    console.log('escape: ' + await message(stopped));
    await stopped.close();
} finally {
    await browser.close();
}
