// The browser build's figures in Debian's headless chromium (software WebGL 2 through SwiftShader), watching the
// first bot game: "name: value unit" lines, as bench/web-figures.sh prints them.
// usage: node web-page.mjs URL PROFILE_FOLDER SECONDS
import {readdirSync, readFileSync} from 'node:fs';
import {launchChromium} from '../tests/web/chromium.mjs';

const [url, profile, seconds] = process.argv.slice(2);
const TicksPerSecond = 100; // the kernel's clock ticks in /proc's processor times (USER_HZ)

// The processor time, in ms, of a process and every process under it (chromium's renderer, GPU and other helpers).
function treeCpuMs(root) {
    const processes = new Map();
    for (const name of readdirSync('/proc').filter((entry) => /^\d+$/.test(entry))) {
        try {
            const stat = readFileSync(`/proc/${name}/stat`, 'utf8');
            const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
            processes.set(Number(name), {parent: Number(fields[1]), ticks: Number(fields[11]) + Number(fields[12])});
        } catch {
            // gone while being read
        }
    }
    const under = (pid) => pid === root || (processes.has(pid) && pid > 1 && under(processes.get(pid).parent));
    let ticks = 0;
    for (const [pid, process] of processes) if (under(pid)) ticks += process.ticks;
    return 1000 * ticks / TicksPerSecond;
}

const browser = await launchChromium(profile);
try {
    const root = browser.process().pid;
    const page = await browser.newPage();
    await page.setViewport({width: 1024, height: 768});
    await page.goto(url, {waitUntil: 'load'});
    await page.waitForFunction(() => Module.kestrovarFrames, {timeout: 60000, polling: 20});
    const first = await page.evaluate(() => Module.kestrovarFrames.first);
    const sample = async () => ({...await page.evaluate(() => ({...Module.kestrovarFrames, at: performance.now()})),
                                 cpuMs: treeCpuMs(root)});
    const before = await sample();
    await new Promise((done) => setTimeout(done, Number(seconds) * 1000));
    const after = await sample();
    const shown = after.shown - before.shown, elapsed = (after.at - before.at) / 1000;
    console.log(`web_first_frame_ms: ${first.toFixed(0)} ms`);
    console.log(`web_frame_busy_ms: ${((after.busyMs - before.busyMs) / shown).toFixed(2)} ms`);
    console.log(`web_drawn_frame_ms: ${((after.drawnMs - before.drawnMs) / shown).toFixed(2)} ms`);
    console.log(`web_frames_shown_per_second: ${(shown / elapsed).toFixed(1)} frames/s`);
    console.log(`web_game_frames_per_second: ${((after.made - before.made) / elapsed).toFixed(1)} frames/s`);
    console.log(`web_cpu_per_second_watched: ${((after.cpuMs - before.cpuMs) / elapsed).toFixed(0)} ms`);
    console.log(`web_cpu_per_shown_frame_ms: ${((after.cpuMs - before.cpuMs) / shown).toFixed(1)} ms`);
} finally {
    await browser.close();
}
