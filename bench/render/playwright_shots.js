// Playwright anchor: one browser, one page reused for every capture.
// usage: node playwright_shots.js WIDTH HEIGHT OUTDIR PAGE...
const { chromium } = require('playwright-core');

(async () => {
  const [width, height, outDir, ...pages] = process.argv.slice(2);
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu'],
  });
  const page = await browser.newPage({ viewport: { width: +width, height: +height } });
  let n = 0;
  for (const path of pages) {
    await page.goto('file://' + path);
    await page.screenshot({ path: `${outDir}/shot${n++}.jpg`, type: 'jpeg', quality: 70 });
  }
  await browser.close();
})();
