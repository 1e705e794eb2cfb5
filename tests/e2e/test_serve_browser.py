"""The web front end in a real browser: `dravolin serve` on the loopback
address, headless Chromium driven through WebDriver. Uploads the example
drawing, picks the reference by clicking a dimension, changes a line weight
in the dialog, previews, converts and downloads; the download is read with
ezdxf and compared byte for byte with what `dravolin convert` writes with the
same answers. The screenshot it takes is the one in docs/user-guide.md
(copied there when DRAVOLIN_UPDATE_DOCS=1)."""

import os
import shutil
import subprocess
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import support  # noqa: E402

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support import expected_conditions as ec
    from selenium.webdriver.support.ui import Select, WebDriverWait
except ImportError:  # scripts/test installs python3-selenium
    webdriver = None

EXAMPLE = os.path.join(support.EXAMPLES_DIR, "exported-views.dxf")
WAIT = 120  # seconds for any one step; the machine may be busy


class ServeBrowserTest(unittest.TestCase):
    def setUp(self):
        if webdriver is None or not shutil.which("chromedriver"):
            self.skipTest("python3-selenium and chromium-driver are needed (scripts/test installs them)")
        self.dir = support.scratch_dir(self)
        self.downloads = os.path.join(self.dir, "downloads")
        os.mkdir(self.downloads)
        self.server = subprocess.Popen(
            [support.dravolin_binary(), "serve", "--port", "0", "--bind", "127.0.0.1"],
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.addCleanup(self.stop_server)
        self.url = self.read_url()
        options = webdriver.ChromeOptions()
        for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--window-size=1500,1100", "--user-data-dir=" + os.path.join(self.dir, "profile")):
            options.add_argument(flag)
        options.add_experimental_option("prefs", {
            "download.default_directory": self.downloads,
            "download.prompt_for_download": False,
        })
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.addCleanup(self.driver.quit)
        self.driver.set_page_load_timeout(WAIT)
        self.driver.execute_cdp_cmd("Page.setDownloadBehavior",
                                    {"behavior": "allow", "downloadPath": self.downloads})

    def read_url(self):
        """The address the server prints on its first line (within a minute)."""
        line = []
        reader = threading.Thread(target=lambda: line.append(self.server.stdout.readline()))
        reader.daemon = True
        reader.start()
        reader.join(60)
        text = line[0].decode() if line else ""
        self.assertIn("http://127.0.0.1:", text, "the server did not print its address")
        return text.split("open ", 1)[1].split(" ", 1)[0]

    def stop_server(self):
        self.server.terminate()
        try:
            self.server.wait(30)
        except subprocess.TimeoutExpired:
            self.server.kill()
            self.server.wait()

    def wait(self, condition):
        return WebDriverWait(self.driver, WAIT).until(condition)

    def status_is(self, text):
        return lambda d: d.find_element(By.ID, "status").text.startswith(text)

    def test_convert_the_example_in_the_browser(self):
        d = self.driver
        d.get(self.url)
        self.wait(self.status_is("Ready"))
        d.find_element(By.ID, "file-input").send_keys(EXAMPLE)
        self.wait(ec.presence_of_element_located((By.CSS_SELECTOR, "#drawing svg rect.dim.factor")))
        self.wait(self.status_is("Ready"))
        self.assertIn("DIMLFAC", d.find_element(By.ID, "info").get_attribute("textContent"))

        # The reference by click: a marked dimension other than auto's pick
        # when there is one, so that the click decides.
        marked = d.find_elements(By.CSS_SELECTOR, "#drawing svg rect.dim.factor")
        auto_pick = d.find_element(By.CSS_SELECTOR, "#drawing svg rect.dim.picked").get_attribute("data-handle")
        chosen = next((r for r in marked if r.get_attribute("data-handle") != auto_pick), marked[0])
        handle = chosen.get_attribute("data-handle")
        d.execute_script("arguments[0].scrollIntoView({block: 'center'})", chosen)
        chosen.click()
        self.wait(lambda _: d.find_element(By.ID, "reference").text == handle)

        # The line-weight dialog: AM_4 gets 0.18; the drawing's own weights are marked.
        dialog = d.find_element(By.ID, "dialog-200")
        self.assertIn("Linienst", dialog.find_element(By.CLASS_NAME, "caption").text)
        box = Select(dialog.find_element(By.CSS_SELECTOR, "select[data-id='204']"))
        self.assertEqual(len(box.options), 24)
        self.assertTrue(any(o.get_attribute("class") == "carried" for o in box.options))
        box.select_by_value("0.18")
        dialog.find_element(By.CSS_SELECTOR, "button[data-id='1']").click()

        d.find_element(By.ID, "preview-button").click()
        self.wait(self.status_is("Preview ready"))
        self.wait(ec.presence_of_element_located((By.CSS_SELECTOR, "#result-picture svg .scale-bar")))
        self.assertIn("Dimension check", d.find_element(By.ID, "result-tables").text)
        shot = os.path.join(self.dir, "serve.png")
        d.execute_script("window.scrollTo(0, 0)")
        self.assertTrue(d.save_screenshot(shot))
        if os.environ.get("DRAVOLIN_UPDATE_DOCS") == "1":
            shutil.copy(shot, os.path.join(support.ROOT, "docs", "images", "serve.png"))

        d.find_element(By.ID, "convert-button").click()
        self.wait(self.status_is("Converted"))
        d.find_element(By.ID, "download-dxf").click()
        downloaded = os.path.join(self.downloads, "exported-views-mech6.dxf")
        deadline = time.monotonic() + WAIT
        while not os.path.exists(downloaded) and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertTrue(os.path.exists(downloaded), "the download did not arrive")

        drawing = support.read_drawing(downloaded)
        self.assertTrue(support.has_layer(drawing.doc, "AM_0"))
        expected = os.path.join(self.dir, "cli.dxf")
        support.run_dravolin("convert", EXAMPLE, "--target", "mech6", "--reference", handle,
                             "--lineweights", "0.50,0.35,0.18", "--template",
                             os.path.join(support.TEMPLATES_DIR, "Mech6.dwt"), "-o", expected)
        with open(downloaded, "rb") as a, open(expected, "rb") as b:
            self.assertTrue(a.read() == b.read(), "the page's drawing differs from the command line's")

    def test_batch_with_markup_in_the_drawing(self):
        """Two drawings converted by the batch button, one of them carrying
        markup in a text, a layer name and its file name: the page shows the
        markup as text and no element comes of it."""
        markup = b"<img src=x onerror=alert(1)></script>"
        with open(EXAMPLE, "rb") as f:
            data = f.read()
        data = data.replace(b"\nRa 3,2\n", b"\n" + markup + b"\n")
        data = data.replace(b"\nMittellinie\n", b"\nM" + markup + b"\n")
        hostile = os.path.join(self.dir, "<img src=x onerror=alert(1)>.dxf")
        with open(hostile, "wb") as f:
            f.write(data)
        d = self.driver
        d.get(self.url)
        self.wait(self.status_is("Ready"))
        d.find_element(By.ID, "file-input").send_keys(EXAMPLE + "\n" + hostile)
        self.wait(lambda _: len(d.find_elements(By.CSS_SELECTOR, "#drawing-list li")) == 2)
        self.wait(self.status_is("Ready"))
        d.find_element(By.ID, "batch-button").click()
        self.wait(self.status_is("2 of 2 converted"))
        states = [e.text for e in d.find_elements(By.CSS_SELECTOR, "#drawing-list .state")]
        self.assertEqual(states, ["converted", "converted"])
        self.assertEqual(d.find_element(By.ID, "batch-progress").get_attribute("value"), "2")

        d.find_elements(By.CSS_SELECTOR, "#drawing-list li")[1].click()
        self.wait(lambda _: "<img" in d.find_element(By.ID, "drawing-name").text)
        self.wait(ec.presence_of_element_located((By.ID, "download-dxf")))  # converted by the batch
        self.wait(self.status_is("Ready"))
        self.assertIn("M<img", d.find_element(By.ID, "info").get_attribute("textContent"))
        d.find_element(By.ID, "preview-button").click()
        self.wait(self.status_is("Preview ready"))
        self.assertIn("M<img src=x onerror=alert(1)></script>", d.find_element(By.ID, "result-tables").text)
        self.assertEqual(d.find_elements(By.TAG_NAME, "img"), [])
        self.assertEqual(len(d.find_elements(By.TAG_NAME, "script")), 1)  # the page's own

    def test_run_the_conversion_command_interactively(self):
        """DRAVOLIN1 on the page's command line: the pick, the dialogs and the
        file dialog come to the page one after the other, as the module asks."""
        d = self.driver
        d.get(self.url)
        self.wait(self.status_is("Ready"))
        d.find_element(By.ID, "file-input").send_keys(EXAMPLE)
        self.wait(ec.presence_of_element_located((By.CSS_SELECTOR, "#drawing svg rect.dim.factor")))
        self.wait(self.status_is("Ready"))
        d.find_element(By.ID, "command").send_keys("DRAVOLIN1")
        d.find_element(By.ID, "command-run").click()
        asked = set()
        deadline = time.monotonic() + WAIT
        while time.monotonic() < deadline:
            # The module's start-up message comes first; the command's
            # questions start with the pick and end with the command.
            if d.find_element(By.ID, "status").text.startswith("Command line ready") and "pick" in asked:
                break
            picks = d.find_elements(By.CSS_SELECTOR, "#ask button.pick")
            dialogs = d.find_elements(By.CSS_SELECTOR, "#ask .dialog")
            files = d.find_elements(By.CSS_SELECTOR, "#ask button.file")
            oks = d.find_elements(By.ID, "ask-ok")
            try:
                if picks:
                    # The pick by click: a marked dimension in the drawing.
                    handle = picks[0].get_attribute("data-handle")
                    rect = d.find_element(By.CSS_SELECTOR, "#drawing rect.dim[data-handle='%s']" % handle)
                    d.execute_script("arguments[0].scrollIntoView({block: 'center'})", rect)
                    rect.click()
                    asked.add("pick")
                elif dialogs:
                    asked.add(dialogs[0].get_attribute("id"))
                    dialogs[0].find_element(By.CSS_SELECTOR, "button[data-id='1']").click()
                elif files:
                    names = [f.text for f in files]
                    chosen = next((f for f in files if f.text.lower() == "mech6.dwt"), files[0])
                    asked.add("file:" + ",".join(names))
                    chosen.click()
                elif oks:
                    asked.add("message")
                    oks[0].click()
            except Exception:  # the question went away while it was answered
                pass
            time.sleep(0.2)
        console = d.find_element(By.ID, "console").text
        self.assertIn("pick", asked, console)
        self.assertIn("ask-dialog-200", asked, console)
        self.assertTrue(d.find_element(By.ID, "status").text.startswith("Command line ready"), console)


if __name__ == "__main__":
    unittest.main()
