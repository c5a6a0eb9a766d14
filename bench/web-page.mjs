// The browser build's figures in Debian's headless chromium (software WebGL 2 through SwiftShader), watching the
// first bot game: "name: value unit" lines, as bench/web-figures.sh prints them.
// usage: node web-page.mjs URL PROFILE_FOLDER SECONDS
import {launchChromium} from '../tests/web/chromium.mjs';

const [url, profile, seconds] = process.argv.slice(2);
const browser = await launchChromium(profile);
try {
    const page = await browser.newPage();
    await page.setViewport({width: 1024, height: 768});
    await page.goto(url, {waitUntil: 'load'});
    await page.waitForFunction(() => Module.kestrovarFrames, {timeout: 60000, polling: 20});
    const first = await page.evaluate(() => Module.kestrovarFrames.first);
    const before = await page.evaluate(() => ({...Module.kestrovarFrames, at: performance.now()}));
    await new Promise((done) => setTimeout(done, Number(seconds) * 1000));
    const after = await page.evaluate(() => ({...Module.kestrovarFrames, at: performance.now()}));
    const shown = after.shown - before.shown;
    console.log(`web_first_frame_ms: ${first.toFixed(0)} ms`);
    console.log(`web_frame_busy_ms: ${((after.busyMs - before.busyMs) / shown).toFixed(2)} ms`);
    console.log(`web_frames_shown_per_second: ${(1000 * shown / (after.at - before.at)).toFixed(1)} frames/s`);
} finally {
    await browser.close();
}
