#!/usr/bin/env python3
"""Writes the demo presentations of data/Demo Data: flat-ODP sources turned into PPTX, PPT and
ODP by LibreOffice. Run it again only to change the demo set; its output is kept in the tree."""
import os
import shutil
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape

NS = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
      'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
      'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
      'xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" '
      'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" '
      'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" '
      'xmlns:presentation="urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"')


def page(n, title, bullets, notes):
    items = ''.join(f'<text:list-item><text:p>{escape(b)}</text:p></text:list-item>' for b in bullets)
    return (f'<draw:page draw:name="Slide{n}" draw:master-page-name="Default">'
            f'<draw:frame presentation:class="title" svg:x="1cm" svg:y="0.8cm" svg:width="26cm" svg:height="3cm">'
            f'<draw:text-box><text:p>{escape(title)}</text:p></draw:text-box></draw:frame>'
            f'<draw:frame presentation:class="outline" svg:x="1cm" svg:y="4.5cm" svg:width="26cm" svg:height="12cm">'
            f'<draw:text-box><text:list>{items}</text:list></draw:text-box></draw:frame>'
            f'<presentation:notes><draw:frame presentation:class="notes" svg:x="2cm" svg:y="14cm" '
            f'svg:width="17cm" svg:height="10cm"><draw:text-box><text:p>{escape(notes)}</text:p>'
            f'</draw:text-box></draw:frame></presentation:notes></draw:page>')


def fodp(slides):
    pages = ''.join(page(i + 1, *s) for i, s in enumerate(slides))
    return (f'<?xml version="1.0" encoding="UTF-8"?>\n<office:document {NS} office:version="1.3" '
            f'office:mimetype="application/vnd.oasis.opendocument.presentation">'
            f'<office:master-styles><style:master-page style:name="Default"/></office:master-styles>'
            f'<office:body><office:presentation>{pages}</office:presentation></office:body></office:document>\n')


def deck(topic, count):
    return [(f'{topic}: part {i}', [f'Point {i}.{j} about {topic.lower()}' for j in range(1, 4)],
             f'Speaker notes for {topic.lower()}, slide {i}.') for i in range(1, count + 1)]


DEMOS = [
    ('Quarterly Review', 'pptx', deck('Quarterly Review', 4)),
    ('Product Overview', 'pptx', deck('Product Overview', 12)),
    ('Training/Team Handbook', 'odp', deck('Team Handbook', 3)),
    ('Training/Safety Briefing', 'ppt', deck('Safety Briefing', 6)),
]
FILTERS = {'pptx': 'pptx:Impress MS PowerPoint 2007 XML', 'ppt': 'ppt:MS PowerPoint 97', 'odp': 'odp'}


def main():
    out_root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data', 'Demo Data')
    with tempfile.TemporaryDirectory() as tmp:
        for name, ext, slides in DEMOS:
            src = os.path.join(tmp, os.path.basename(name) + '.fodp')
            with open(src, 'w', encoding='utf-8') as f:
                f.write(fodp(slides))
            subprocess.run(['soffice', f'-env:UserInstallation=file://{tmp}/profile', '--headless',
                            '--convert-to', FILTERS[ext], '--outdir', tmp, src], check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            dest = os.path.join(out_root, name + '.' + ext)
            os.makedirs(os.path.dirname(dest), exist_ok=True)
            shutil.copy(os.path.join(tmp, os.path.basename(name) + '.' + ext), dest)
            print(dest)
    return 0


if __name__ == '__main__':
    sys.exit(main())
