#!/usr/bin/env python3
"""Writes resources/Licence.pdf: the privacy and terms document shown from the sign-up window.

Plain Python, no libraries: a small PDF of A4 pages set in Helvetica. Run it again after
changing the text below:  python3 tools/licence/make_licence.py
"""
import pathlib
import textwrap

TITLE = "Velquor - Terms of Use and Privacy Notice"

SECTIONS = [
    ("1. About this document",
     "These terms govern your use of the Velquor application and of the Velquor update service "
     "operated by Ostrelle (\"we\", \"us\"). By creating an account or using the application you "
     "agree to them. If you do not agree, do not create an account and do not use the service."),
    ("2. Your account",
     "You must give true and complete information when you sign up and keep it up to date. You are "
     "responsible for keeping your user ID and password secret and for everything done with your "
     "account. Tell us at once if you believe someone else has used it."),
    ("3. Licence to use the software",
     "We grant you a personal, non-exclusive, non-transferable licence to download and install the "
     "software packages offered for the scan tools registered to your account, for use with those "
     "tools only. You may not copy, sell, rent, modify, decompile or redistribute the packages, nor "
     "remove any notice they carry. All rights not expressly granted remain with us."),
    ("4. Updates and availability",
     "We may publish, change or withdraw packages at any time. We try to keep the service available "
     "but do not promise that it will be uninterrupted or free of errors. Before installing, make sure "
     "the SD card of your scan tool has enough free space and is not removed while Velquor writes to it."),
    ("5. Personal data we keep",
     "To run the service we keep the data you enter at sign-up (user ID, name, address, country, "
     "telephone number and e-mail address), the serial numbers of your registered devices, the support "
     "requests you send, and records of which packages were offered to and downloaded by your devices. "
     "Your password is stored by us only as a one-way hash; on your computer it is kept in the system's "
     "keyring and only when you ask Velquor to remember it."),
    ("6. How we use your data",
     "We use your data to identify you, to offer the right packages for your devices, to answer your "
     "support requests and, where you agreed, to send you news about updates. We do not sell your data. "
     "We share it only with service providers who process it for us under written obligations, or when "
     "the law requires it."),
    ("7. Your rights",
     "You may ask to see, correct or delete your personal data, and you may withdraw your consent to "
     "receiving e-mail at any time. Some records must be kept for as long as the law requires. Write to "
     "our support team through the feedback page of the application to use these rights."),
    ("8. Liability",
     "The software is provided as it is. To the extent the law allows, we are not liable for indirect "
     "or consequential loss, for loss of data on the SD card, or for damage caused by using a package "
     "with a device or vehicle it was not made for. Nothing in these terms limits liability that cannot "
     "be limited by law."),
    ("9. Changes and ending",
     "We may change these terms; the version shown in the application is the one that applies. You may "
     "stop using the service at any time. We may suspend an account that breaks these terms. These "
     "terms are governed by the law of the country in which Ostrelle is established."),
]

PAGE_WIDTH, PAGE_HEIGHT = 595, 842  # A4 in points
MARGIN = 64
BODY_SIZE, HEADING_SIZE, TITLE_SIZE = 11, 13, 18
LEADING = 15
WRAP_COLUMNS = 88


def escape(text):
    return text.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)")


def layout():
    """Lines as (font, size, text, extra space before), split into pages."""
    lines = [("F2", TITLE_SIZE, TITLE, 0)]
    for heading, body in SECTIONS:
        lines.append(("F2", HEADING_SIZE, heading, 14))
        for index, line in enumerate(textwrap.wrap(body, WRAP_COLUMNS)):
            lines.append(("F1", BODY_SIZE, line, 4 if index == 0 else 0))
    pages, page, y = [], [], PAGE_HEIGHT - MARGIN
    for font, size, text, before in lines:
        y -= before + LEADING
        if y < MARGIN:
            pages.append(page)
            page, y = [], PAGE_HEIGHT - MARGIN - LEADING
        page.append((font, size, text, y))
    pages.append(page)
    return pages


def content_stream(page):
    parts = ["BT"]
    for font, size, text, y in page:
        parts.append(f"/{font} {size} Tf 1 0 0 1 {MARGIN} {y} Tm ({escape(text)}) Tj")
    parts.append("ET")
    return "\n".join(parts).encode("latin-1")


def build_pdf(pages):
    objects = []  # object bodies; object n is objects[n - 1]

    def add(body):
        objects.append(body)
        return len(objects)

    catalog = add(None)
    pages_obj = add(None)
    regular = add(b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>")
    bold = add(b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>")
    kids = []
    for page in pages:
        stream = content_stream(page)
        contents = add(b"<< /Length %d >>\nstream\n" % len(stream) + stream + b"\nendstream")
        kids.append(add(
            (f"<< /Type /Page /Parent {pages_obj} 0 R /MediaBox [0 0 {PAGE_WIDTH} {PAGE_HEIGHT}] "
             f"/Resources << /Font << /F1 {regular} 0 R /F2 {bold} 0 R >> >> /Contents {contents} 0 R >>").encode()))
    objects[catalog - 1] = f"<< /Type /Catalog /Pages {pages_obj} 0 R >>".encode()
    objects[pages_obj - 1] = (f"<< /Type /Pages /Kids [{' '.join(f'{k} 0 R' for k in kids)}] "
                              f"/Count {len(kids)} >>").encode()

    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += (b"trailer\n<< /Size %d /Root %d 0 R /Info << /Title (%s) >> >>\nstartxref\n%d\n%%%%EOF\n"
            % (len(objects) + 1, catalog, escape(TITLE).encode("latin-1"), xref))
    return bytes(out)


def main():
    target = pathlib.Path(__file__).resolve().parents[2] / "resources" / "Licence.pdf"
    target.write_bytes(build_pdf(layout()))
    print(target)


if __name__ == "__main__":
    main()
