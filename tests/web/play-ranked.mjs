// Plays a ranked game in the browser build as the score server serves it, and syncs it, printing what it saw for
// tests/web/RankedGameTest.cpp to judge, one "name: value" line each:
//   ticket: the status of the page's request for a new game      kept: the kept game's score line
//   upload: the status of the page's upload of the kept game      error: each console error or page error
// The page's clock is the test's: each screen refresh makes exactly one frame, so that the keys, sent between
// refreshes, are held for the frames the recorded bot held them, however slowly software GL draws.
// usage: node play-ranked.mjs BASE_URL PROFILE_FOLDER BOT_GAME
import {readFileSync} from 'node:fs';
import {launchChromium} from './chromium.mjs';

const [base, profile, botGame] = process.argv.slice(2);
const BotFrames = 600; // the bot's first ten seconds: turned towards the rings and firing until sections break
const Keys = {13: ['Enter', 'Enter'], 27: ['Escape', 'Escape'], 37: ['ArrowLeft', 'ArrowLeft'],
              39: ['ArrowRight', 'ArrowRight'], 40: ['ArrowDown', 'ArrowDown'], 162: ['Control', 'ControlLeft'],
              164: ['Alt', 'AltLeft']};
const browser = await launchChromium(profile);

// One frame a refresh, on a clock of the page's own; the keys queued for a refresh are pressed just before it.
function frameClock() {
    const realFrame = window.requestAnimationFrame.bind(window);
    let now = performance.now();
    performance.now = () => now;
    window.kestrovarRefreshes = 0;
    window.kestrovarKeys = [];
    window.requestAnimationFrame = (frame) => realFrame(() => {
        now += 1000 / 60;
        window.kestrovarRefreshes += 1;
        while (window.kestrovarKeys.length && window.kestrovarKeys[0].at <= window.kestrovarRefreshes) {
            const press = window.kestrovarKeys.shift();
            window.dispatchEvent(new KeyboardEvent(press.type, {key: press.key, code: press.code, bubbles: true}));
        }
        frame(now);
    });
}

try {
    const page = await browser.newPage();
    await page.setViewport({width: 640, height: 480});
    page.on('console', (message) => { if (message.type() === 'error') console.log('error: ' + message.text()); });
    page.on('pageerror', (error) => console.log('error: ' + error.message));
    page.on('requestfailed', (request) => console.log('failed: ' + request.method() + ' ' + request.url()));
    await page.evaluateOnNewDocument(frameClock);
    const ticket = page.waitForResponse((reply) => reply.url().includes('option=newgame'), {timeout: 120000});
    await page.goto(`${base}play/`, {waitUntil: 'load'});
    await page.waitForFunction(() => typeof Module !== 'undefined' && Module.kestrovarFrames, {timeout: 60000});

    // Presses queued by frame from now ([frame, 'keydown' or 'keyup', virtual key]), then the frames after them.
    async function keys(presses, framesAfter) {
        const last = await page.evaluate((queued, keyNames) => {
            const start = window.kestrovarRefreshes + 1;
            for (const [at, type, key] of queued)
                window.kestrovarKeys.push({at: start + at, type, key: keyNames[key][0], code: keyNames[key][1]});
            return start + Math.max(0, ...queued.map((press) => press[0]));
        }, presses, Keys);
        await page.waitForFunction((until) => window.kestrovarRefreshes >= until, {timeout: 120000, polling: 100},
                                   last + framesAfter);
    }
    const tap = (key, framesAfter) => keys([[0, 'keydown', key], [1, 'keyup', key]], framesAfter);
    const keptScore = () => page.evaluate(() => {
        try {
            const kept = Module.FS.readFile('/kestrovar/Kestrovar-last-game.txt', {encoding: 'utf8'});
            return kept.split('\n').find((line) => line.startsWith('; score=')) || '';
        } catch (error) {
            return '';
        }
    });

    await tap(27, 60); // the intro
    console.log('ticket: ' + (await ticket).status());
    await tap(13, 30); // start game, the menu's first item
    await tap(13, 2);  // the level's page
    const bot = readFileSync(botGame, 'utf8').split('\n').map((line) => line.split(' '))
                    .filter((words) => words.length === 3 && (words[1] === 'down' || words[1] === 'up'))
                    .map(([frame, how, key]) => [Number(frame), 'key' + how, Number(key)])
                    .filter(([frame]) => frame < BotFrames);
    await keys(bot, 10);
    // Escape opens the exit prompt and Return leaves; pressed while a lost ship's page shows, they do nothing.
    for (let tries = 0; tries < 4 && !(await keptScore()); ++tries) {
        await tap(27, 30);
        await tap(13, 90);
    }
    console.log('kept: ' + await keptScore());

    // Start, instructions, options, show scores; the high-score screen; its sync, uploading the kept game.
    for (let down = 0; down < 3; ++down) await tap(40, 30);
    await tap(13, 60);
    // Both answers are waited for from before the key: the top ten's follows the upload at once, and a wait set up
    // only once the upload's reply was read could miss it.
    const upload = page.waitForResponse((reply) => reply.request().method() === 'POST', {timeout: 120000});
    const topTen = page.waitForResponse((reply) => reply.url().includes('option=getscore'), {timeout: 120000});
    await tap(13, 0);
    const uploaded = await upload;
    console.log('upload: ' + uploaded.status() + ' ' + (await uploaded.text()).trim());
    await topTen;
    await page.close();
} finally {
    await browser.close();
}
