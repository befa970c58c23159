"""With a certificate, the build's signing step gives the programs, the setup and the Windows Installer
package Authenticode signatures that verify against that certificate; a file signed already keeps its
signature; without a certificate nothing is signed and one line says so."""
import glob
import os
import shutil
import subprocess
import sys
import tempfile

import desktop
import installation

SIGN = os.path.join(desktop.REPO, "installer", "sign.py")


def throw_away_certificate(folder):
    """A self-signed code-signing certificate and its key, the key under a password."""
    cert, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-keyout", key, "-out", cert, "-days", "2",
                    "-subj", "/CN=Vestrel test signer", "-addext", "extendedKeyUsage=codeSigning",
                    "-passout", "pass:secret"], check=True, capture_output=True)
    return {"VESTREL_SIGN_CERT": cert, "VESTREL_SIGN_KEY": key, "VESTREL_SIGN_PASSWORD": "secret"}


def unsigned_copy(path, folder):
    """A copy without the signature a build given a certificate put on it."""
    copy = shutil.copy(path, folder)
    bare = copy + ".bare"
    if subprocess.run(["osslsigncode", "remove-signature", "-in", copy, "-out", bare],
                      capture_output=True).returncode == 0:
        os.replace(bare, copy)
    return copy


def sign(files, environment):
    result = subprocess.run([sys.executable, SIGN, *files], env={**os.environ, **environment},
                            capture_output=True, text=True)
    assert result.returncode == 0, f"signing failed: {result.stdout}{result.stderr}"
    return result.stdout


def verify(path, cert):
    result = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", path], capture_output=True,
                            text=True)
    return result.returncode == 0 and "Signature verification: ok" in result.stdout


def read(path):
    with open(path, "rb") as f:
        return f.read()


def test(args):
    with tempfile.TemporaryDirectory() as folder:
        files = [unsigned_copy(path, folder) for path in
                 (os.path.join(args.program_dir, "Vestrel.exe"), os.path.join(args.program_dir, "vestrel-cli.exe"),
                  installation.package(args.program_dir, "setup.exe"), installation.package(args.program_dir, ".msi"))]
        unsigned = {path: read(path) for path in files}

        said = sign(files, {"VESTREL_SIGN_CERT": ""})
        assert len(said.splitlines()) == 1 and "not signed" in said, f"no single line about signing: {said!r}"
        assert all(read(path) == unsigned[path] for path in files), "a file changed without a certificate"

        certificate = throw_away_certificate(folder)
        sign(files, certificate)
        for path in files:
            assert verify(path, certificate["VESTREL_SIGN_CERT"]), f"{os.path.basename(path)} has no valid signature"
        signed = {path: read(path) for path in files}
        sign(files, certificate)
        for path in files:
            assert read(path) == signed[path], f"signing {os.path.basename(path)} again changed it"
        assert not glob.glob(os.path.join(folder, "*.signed")), "signing left a scratch file"


if __name__ == "__main__":
    desktop.run(test)
