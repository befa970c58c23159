"""The help build's own checks: the Markdown it understands, and that it fails where chmcmd would not."""
import os
import re
import stat
import sys
import tempfile
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "tools"))
import build_help  # noqa: E402


class MarkdownTest(unittest.TestCase):
    def test_the_first_heading_is_the_title_and_the_others_get_anchors(self):
        title, body = build_help.markdown_to_html("# Writing plug-ins\n\n## Programs (`run`)\n")
        self.assertEqual(title, "Writing plug-ins")
        self.assertEqual(body, '<h2 id="programs-run">Programs (<code>run</code>)</h2>\n')

    def test_code_is_escaped_and_never_formatted(self):
        _, body = build_help.markdown_to_html("```xml\n<a>*x* & **y**</a>\n```\n\n`*` and `*.*`, *not*\n")
        self.assertIn("<pre>&lt;a&gt;*x* &amp; **y**&lt;/a&gt;</pre>", body)
        self.assertIn("<p><code>*</code> and <code>*.*</code>, <em>not</em></p>", body)

    def test_tables_lists_and_paragraphs(self):
        text = ("| A | B |\n|---|---|\n| `1` | two |\n\n1. first\n   goes on\n2. second\n\n- x\n\n"
                "one\nparagraph\n")
        _, body = build_help.markdown_to_html(text)
        self.assertIn("<tr><th>A</th><th>B</th></tr>\n<tr><td><code>1</code></td><td>two</td></tr>", body)
        self.assertIn("<ol>\n<li>first goes on</li>\n<li>second</li>\n</ol>", body)
        self.assertIn("<ul>\n<li>x</li>\n</ul>", body)
        self.assertIn("<p>one paragraph</p>", body)

    def test_non_ascii_becomes_character_references(self):
        self.assertEqual(build_help.ascii_html("a \u2014 \u00e9"), "a &#8212; &#233;")


class FailureTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.work = self.folder.name
        self.path = os.environ["PATH"]

    def tearDown(self):
        os.environ["PATH"] = self.path
        self.folder.cleanup()

    def write(self, name, text):
        with open(os.path.join(self.work, name), "w") as file:
            file.write(text)

    def test_a_link_to_a_missing_page_or_anchor_fails(self):
        self.write("a.html", '<h2 id="here">x</h2><a href="a.html#here">ok</a>')
        build_help.check_references(self.work)
        for link in ('<a href="b.html">', '<a href="a.html#there">', '<img src="images/c.png">',
                     '<param name="Local" value="b.html">'):
            self.write("bad.html", link)
            with self.assertRaises(build_help.BuildError, msg=link):
                build_help.check_references(self.work)

    def fake_chmcmd(self, script):
        bin_folder = os.path.join(self.work, "bin")
        os.mkdir(bin_folder)
        path = os.path.join(bin_folder, "chmcmd")
        self.write(path, "#!/bin/sh\n" + script)
        os.chmod(path, stat.S_IRWXU)
        os.environ["PATH"] = bin_folder + os.pathsep + os.environ["PATH"]

    def test_a_warning_of_chmcmd_fails_though_it_exits_0(self):
        self.fake_chmcmd("echo 'Warning: File b.html does not exist'\ntouch Vestrel.chm\n")
        with self.assertRaises(build_help.BuildError):
            build_help.compile_help(self.work, os.path.join(self.work, "out", "Vestrel.chm"))

    def test_no_output_fails(self):
        self.fake_chmcmd("exit 0\n")
        with self.assertRaises(build_help.BuildError):
            build_help.compile_help(self.work, os.path.join(self.work, "out", "Vestrel.chm"))


class ContentsAndIndexTest(unittest.TestCase):
    """The build checks that every entry leads somewhere; these check that the reader finds everything."""

    def test_every_section_of_the_plug_in_page_is_in_the_contents(self):
        _, body = build_help.markdown_to_html(build_help.read(os.path.join(ROOT, "docs", "plugins.md")))
        contents = build_help.read(os.path.join(ROOT, "help", "Vestrel.hhc"))
        missing = [anchor for anchor in re.findall(r'<h[23] id="([^"]+)"', body)
                   if 'value="plugins.html#%s"' % anchor not in contents]
        self.assertEqual(missing, [], "sections of docs/plugins.md without an entry in help/Vestrel.hhc")

    def test_the_index_is_in_alphabetical_order(self):
        index = build_help.read(os.path.join(ROOT, "help", "Vestrel.hhk"))
        keys = [re.sub(r"[^a-z0-9 ]", "", name.lower()).strip()
                for name in re.findall(r'<param name="Name" value="([^"]*)">', index)]
        self.assertEqual(keys, sorted(keys))


if __name__ == "__main__":
    unittest.main()
