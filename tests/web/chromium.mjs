// Debian's chromium as the page's tests and figures start it: headless, software WebGL 2 through SwiftShader, and
// nothing of its own that reaches the network.
import {createRequire} from 'node:module';
const puppeteer = createRequire(new URL('../server/browser/package.json', import.meta.url))('puppeteer-core');

export function launchChromium(profile) {
    return puppeteer.launch({
        executablePath: '/usr/bin/chromium',
        headless: true,
        userDataDir: profile,
        args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
               '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
}
