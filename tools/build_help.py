#!/usr/bin/python3
"""Builds the compiled help file Vestrel.chm and the program folder's plug-in page.

    build_help.py SOURCE_ROOT WORK_FOLDER CHM_FILE PLUGIN_PAGE

The help pages are help/*.html as they stand, except for two kinds of generated text, so that no text is
kept twice by hand:
  - help/plugins.html, "Writing plug-ins", is docs/plugins.md turned into HTML; the same body, inside
    docs/plugins.html.in, becomes the plug-in page shipped as docs/plugins.html;
  - a comment <!-- items: TYPE --> in a page becomes the table of the shipped plug-ins of that page
    (plugin/*.aep) with their defaults (plugin-defaults/Vestrel.conf).
Pictures are taken from docs/images/ as the pages name them ("images/NAME.png"). Every file of the work
folder goes into the project's [FILES] list, so a new page needs only its file and its entries in
Vestrel.hhc and Vestrel.hhk.

The help compiler (chmcmd) exits 0 even when the project is missing and only warns about missing pages;
here any warning, a broken link or a missing output fails the build.
"""

import html
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

PAGE_TYPES = {"ie": "Internet Explorer", "windows": "Windows", "application": "Applications"}


class BuildError(Exception):
    pass


def ascii_html(text):
    """Non-ASCII characters as character references: the help viewer then needs no code page guess."""
    return "".join(c if ord(c) < 128 else "&#%d;" % ord(c) for c in text)


def slug(text):
    return re.sub(r"[^a-z0-9]+", "-", text.lower()).strip("-")


def inline(text):
    """`code`, **strong**, *emphasis* and [links](target) of one line of Markdown."""
    parts = text.split("`")
    out = []
    for index, part in enumerate(parts):
        part = html.escape(part, quote=False)
        if index % 2:
            out.append("<code>%s</code>" % part)
            continue
        part = re.sub(r"\*\*(.+?)\*\*", r"<strong>\1</strong>", part)
        part = re.sub(r"(?<![\w*])\*(\S.*?)\*(?!\w)", r"<em>\1</em>", part)
        part = re.sub(r"\[(.+?)\]\((.+?)\)", r'<a href="\2">\1</a>', part)
        out.append(part)
    return "".join(out)


def table_cells(line):
    return [cell.strip() for cell in line.strip().strip("|").split("|")]


def markdown_to_html(text):
    """The Markdown that docs/plugins.md uses: headings, paragraphs, lists, tables and fenced code.

    Returns the page title (the first heading) and the body without it."""
    lines = text.splitlines()
    title, out, index = "", [], 0
    while index < len(lines):
        line = lines[index]
        if line.startswith("```"):
            end = lines.index("```", index + 1)
            out.append("<pre>%s</pre>" % html.escape("\n".join(lines[index + 1:end]), quote=False))
            index = end + 1
        elif line.startswith("#"):
            level = len(line) - len(line.lstrip("#"))
            heading = line[level:].strip()
            if level == 1 and not title:
                title = heading
            else:
                out.append('<h%d id="%s">%s</h%d>' % (level, slug(heading), inline(heading), level))
            index += 1
        elif line.startswith("|"):
            rows = []
            while index < len(lines) and lines[index].startswith("|"):
                rows.append(table_cells(lines[index]))
                index += 1
            head = "".join("<th>%s</th>" % inline(cell) for cell in rows[0])
            body = ["<tr>%s</tr>" % "".join("<td>%s</td>" % inline(cell) for cell in row) for row in rows[2:]]
            out.append("<table>\n<tr>%s</tr>\n%s\n</table>" % (head, "\n".join(body)))
        elif re.match(r"(- |\d+\. )", line):
            tag = "ul" if line.startswith("- ") else "ol"
            entries = []
            while index < len(lines) and lines[index].strip():
                if re.match(r"(- |\d+\. )", lines[index]):
                    entries.append(lines[index].split(" ", 1)[1])
                else:
                    entries[-1] += " " + lines[index].strip()
                index += 1
            out.append("<%s>\n%s\n</%s>" % (tag, "\n".join("<li>%s</li>" % inline(e) for e in entries), tag))
        elif line.strip():
            paragraph = []
            while index < len(lines) and lines[index].strip() and not re.match(r"(#|\||```|- |\d+\. )",
                                                                                  lines[index]):
                paragraph.append(lines[index].strip())
                index += 1
            out.append("<p>%s</p>" % inline(" ".join(paragraph)))
        else:
            index += 1
    return title, "\n".join(out) + "\n"


HELP_PAGE = """<!DOCTYPE html>
<html lang="en">
<head>
<meta http-equiv="X-UA-Compatible" content="IE=edge">
<title>$title</title>
<link rel="stylesheet" href="help.css">
</head>
<body>
<h1>$title</h1>
$body</body>
</html>
"""


def fill(template, **values):
    for key, value in values.items():
        template = template.replace("$" + key, value)
    return template


def read(path):
    with open(path, encoding="utf-8") as file:
        return file.read()


def write(path, text):
    with open(path, "w", encoding="ascii", newline="\r\n") as file:
        file.write(text)


def shipped_items(root):
    """(type, descript, head as HTML with the warning, ticked by default) of every shipped plug-in."""
    defaults = ElementTree.parse(os.path.join(root, "plugin-defaults", "Vestrel.conf")).getroot()
    selection = {element.tag: element.text == "true" for element in defaults.find("erase-items")}
    items = []
    for name in sorted(os.listdir(os.path.join(root, "plugin"))):
        if name.endswith(".aep"):
            plugin = ElementTree.parse(os.path.join(root, "plugin", name)).getroot()
            body = plugin.find("body")
            head = html.escape(plugin.findtext("head"))
            if body.findtext("warning"):
                head += "<br><strong>Note:</strong> " + html.escape(body.findtext("warning"))
            items.append((body.findtext("type"), body.findtext("descript"), head,
                          selection.get(body.findtext("id"), True)))
    return items


def items_table(items, page_type):
    rows = ["<tr><td>%s</td><td>%s</td><td>%s</td></tr>" % (html.escape(descript), head,
                                                             "yes" if ticked else "")
            for type_, descript, head, ticked in items if type_ == page_type]
    if not rows:
        raise BuildError("no shipped item of type %r" % page_type)
    return ('<table class="items">\n<tr><th>Item</th><th>What it erases</th><th>Ticked by default</th></tr>\n'
            "%s\n</table>" % "\n".join(rows))


def check_references(folder):
    """Every local link, picture and contents entry names a file of the work folder, and an anchor in it."""
    missing = []
    for name in sorted(os.listdir(folder)):
        if not name.endswith((".html", ".hhc", ".hhk", ".css")):
            continue
        text = read(os.path.join(folder, name))
        for target, anchor in re.findall(r'(?:href|src|value)="([^"#:]*\.(?:html|png|css))(?:#([^"]*))?"', text):
            path = os.path.join(folder, target)
            if not os.path.isfile(path):
                missing.append("%s names %s" % (name, target))
            elif anchor and 'id="%s"' % anchor not in read(path):
                missing.append("%s names %s#%s" % (name, target, anchor))
    if missing:
        raise BuildError("missing help files or anchors:\n  " + "\n  ".join(missing))


def stage(root, work):
    """The help folder with its generated pages and pictures, ready for the compiler."""
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "images"))
    help_dir = os.path.join(root, "help")
    items = shipped_items(root)
    for name in os.listdir(help_dir):
        text = read(os.path.join(help_dir, name))
        text = re.sub(r"<!-- items: (\w+) -->", lambda match: items_table(items, match.group(1)), text)
        for picture in re.findall(r'src="images/([^"]+)"', text):
            source = os.path.join(root, "docs", "images", picture)
            if not os.path.isfile(source):
                raise BuildError("%s shows docs/images/%s, which is missing" % (name, picture))
            shutil.copy(source, os.path.join(work, "images"))
        write(os.path.join(work, name), ascii_html(text))
    title, body = markdown_to_html(read(os.path.join(root, "docs", "plugins.md")))
    write(os.path.join(work, "plugins.html"), ascii_html(fill(HELP_PAGE, title=html.escape(title), body=body)))
    files = sorted(os.path.relpath(os.path.join(folder, name), work).replace(os.sep, "\\")
                   for folder, _, names in os.walk(work) for name in names
                   if not name.endswith((".hhp", ".hhc", ".hhk")))
    with open(os.path.join(work, "Vestrel.hhp"), "a", newline="\r\n") as project:
        project.write("\n[FILES]\n" + "".join(name + "\n" for name in files))
    check_references(work)
    return title, body


def compile_help(work, chm):
    result = subprocess.run(["chmcmd", "Vestrel.hhp"], cwd=work, capture_output=True, text=True)
    output = (result.stdout + result.stderr).strip()
    built = os.path.join(work, "Vestrel.chm")
    complaints = [line for line in output.splitlines() if re.search(r"warning|error|can't|exception", line, re.I)]
    if result.returncode != 0 or complaints or not os.path.isfile(built):
        raise BuildError("chmcmd failed (exit code %d):\n%s" % (result.returncode, output))
    os.makedirs(os.path.dirname(chm), exist_ok=True)
    shutil.copy(built, chm)


def main(root, work, chm, plugin_page):
    try:
        os.remove(chm)  # a failed build leaves no stale help file behind
    except FileNotFoundError:
        pass
    title, body = stage(root, work)
    compile_help(work, chm)
    os.makedirs(os.path.dirname(plugin_page), exist_ok=True)
    template = read(os.path.join(root, "docs", "plugins.html.in"))
    write(plugin_page, ascii_html(fill(template, title=html.escape(title), body=body)))


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    try:
        main(*(os.path.abspath(arg) for arg in sys.argv[1:]))
    except (BuildError, OSError, ElementTree.ParseError, ValueError) as error:
        sys.exit("build_help: %s" % error)
