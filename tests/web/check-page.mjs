// Drives Debian's chromium (software WebGL 2 through SwiftShader) over the browser build as the score server serves
// it, and prints what it saw, one "name: value" line each, for tests/web/PageTest.cpp to judge:
//   closing: the line the page shows when the watched game ends     lit: the share of the canvas not black, per mille
//   menu-lit: the same over the menu, the intro taken away by a key
//   escape: what the page says after Escape was pressed mid-watch   error: each console error or page error
// usage: node check-page.mjs BASE_URL GAME_HASH PROFILE_FOLDER
import {launchChromium} from './chromium.mjs';

const [base, game, profile] = process.argv.slice(2);
const WatchLimitMs = 240000; // a watch runs in real time, slower where software GL can't keep up
const browser = await launchChromium(profile);

async function open(url) {
    const page = await browser.newPage();
    await page.setViewport({width: 640, height: 480});
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

try {
    // The program: a key takes the intro away, and the menu's neon lights the canvas.
    const program = await open(`${base}play/`);
    await program.waitForFunction(() => typeof Module !== 'undefined' && Module.kestrovarFrames, {timeout: 60000});
    await program.keyboard.press('Space');
    await new Promise((done) => setTimeout(done, 3000));
    console.log('menu-lit: ' + await lit(program));
    await program.close();

    // A whole watch: the neon on the way, the closing line at the end.
    const watch = await open(`${base}play/?game=${game}`);
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
