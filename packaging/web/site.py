#!/usr/bin/python3
"""Two steps of the web site's build, on the build machine.

site.py single-page TEMPLATE CSS FONT ICON SCRIPT... OUTPUT
    Writes the page in one file: the generator's TEMPLATE with the style
    sheet (its font inside as data), the icon as data and the scripts, one
    after the other, inside; its Content-Security-Policy allows exactly that
    style and that script, by their SHA-256.
site.py service-worker SITE TEMPLATE VERSION FILE...
    Writes SITE/sw.js from TEMPLATE: the worker keeps the FILEs (index.html
    as the site's folder, ./), each with its SHA-256, which the browser checks
    as it fetches them; its cache is named after the version and the hashes
    of every file of the site, so that any change anywhere is a new cache."""
import base64
import hashlib
import json
import os
import sys


def read(path):
    with open(path, "rb") as f:
        return f.read()


def sha256(data):
    return "sha256-" + base64.b64encode(hashlib.sha256(data).digest()).decode()


def data_url(kind, path):
    return f"data:{kind};base64," + base64.b64encode(read(path)).decode()


def single_page(template, css, font, icon, *scripts_and_output):
    *scripts, output = scripts_and_output
    style = read(css).decode().replace(
        f"url({os.path.basename(font)})", f"url({data_url('font/woff2', font)})").strip()
    script = "\n".join(read(path).decode().strip() for path in scripts)
    # Nothing in either may end the element that holds it early.
    assert "</style" not in style.lower()
    assert "</script" not in script.lower() and "<!--" not in script
    policy = (f"default-src 'none'; script-src '{sha256(script.encode())}'; "
              f"style-src '{sha256(style.encode())}'; font-src data:; img-src data:")
    page = read(template).decode()
    for name, text in (("@POLICY@", policy), ("@ICON@", data_url("image/png", icon)),
                       ("@STYLE@", style), ("@SCRIPT@", script)):
        assert page.count(name) == 1, name
        page = page.replace(name, text)
    with open(output, "wb") as f:
        f.write(page.encode())


def service_worker(site, template, version, *files):
    every = sorted(os.path.relpath(os.path.join(folder, name), site)
                   for folder, _, names in os.walk(site) for name in names)
    hashes = {name: sha256(read(os.path.join(site, name))) for name in every if name != "sw.js"}
    kept = [["./" if name == "index.html" else name, hashes[name]] for name in files]
    everything = "".join(f"{name} {digest}\n" for name, digest in hashes.items())
    worker = read(template).decode()
    worker = worker.replace("@VERSION@", version).replace(
        "@HASH@", hashlib.sha256(everything.encode()).hexdigest()[:16]).replace(
        "@FILES@", ",\n  ".join(json.dumps(pair) for pair in kept))
    with open(os.path.join(site, "sw.js"), "wb") as f:
        f.write(worker.encode())


{"single-page": single_page, "service-worker": service_worker}[sys.argv[1]](*sys.argv[2:])
