// Loads pages of the board in Debian's chromium at each width asked for and prints one line a page and width:
// "WIDTH STATUS SCROLLWIDTH WINDOWWIDTH WIDER PATH", WIDER naming the first element reaching past the window's right
// edge ("-" for none). With a folder for pictures, saves a screenshot of each page as WIDTH-N.png.
// usage: node check-pages.mjs BASE_URL WIDTHS(390,1280) PROFILE_FOLDER PICTURE_FOLDER|- PATH...
import puppeteer from 'puppeteer-core';

const [base, widthList, profile, pictures, ...paths] = process.argv.slice(2);
const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--no-first-run'],
});
try {
    for (const width of widthList.split(',').map(Number)) {
        for (const [n, path] of paths.entries()) {
            const page = await browser.newPage();
            await page.setViewport({width, height: 800});
            const response = await page.goto(base + path, {waitUntil: 'load'});
            const seen = await page.evaluate(() => {
                const window = document.documentElement.clientWidth;
                const wider = [...document.querySelectorAll('body *')].find(
                    (element) => element.getBoundingClientRect().right > window + 0.5);
                return {
                    scroll: document.documentElement.scrollWidth,
                    window,
                    wider: wider ? wider.tagName.toLowerCase() + (wider.className ? '.' + wider.className : '') : '-',
                };
            });
            if (pictures !== '-') await page.screenshot({path: `${pictures}/${width}-${n}.png`, fullPage: true});
            console.log(`${width} ${response.status()} ${seen.scroll} ${seen.window} ${seen.wider} ${path}`);
            await page.close();
        }
    }
} finally {
    await browser.close();
}
