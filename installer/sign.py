"""Signs Windows programs and packages in place with Authenticode (osslsigncode), when a certificate is given.

    sign.py [--quiet] FILE...

    VESTREL_SIGN_CERT            the certificate: a .pfx or .p12 file, or a PEM or DER certificate (with
                                 its chain) whose private key is in VESTREL_SIGN_KEY
    VESTREL_SIGN_KEY             that private key (not with a .pfx)
    VESTREL_SIGN_PASSWORD        the password of the key or the .pfx (optional)
    VESTREL_SIGN_TIMESTAMP_URL   an RFC 3161 time-stamping server (optional)

Without a certificate nothing is signed, and one line says so (not with --quiet). A file that already
carries a signature is left as it is: the build signs the program folder on every run.
"""
import argparse
import os
import subprocess
import sys
import tempfile


def is_signed(path, scratch):
    signature = os.path.join(scratch, "signature")
    result = subprocess.run(["osslsigncode", "extract-signature", "-in", path, "-out", signature],
                            capture_output=True)
    # osslsigncode writes no file over an existing one.
    if os.path.exists(signature):
        os.remove(signature)
    return result.returncode == 0


def sign_command(environment, scratch):
    """osslsigncode's arguments for the given certificate, up to the file names."""
    certificate = environment["VESTREL_SIGN_CERT"]
    if certificate.lower().endswith((".pfx", ".p12")):
        command = ["osslsigncode", "sign", "-pkcs12", certificate]
    else:
        key = environment.get("VESTREL_SIGN_KEY")
        if not key:
            sys.exit("sign: VESTREL_SIGN_CERT is a certificate file, so VESTREL_SIGN_KEY must name its key")
        command = ["osslsigncode", "sign", "-certs", certificate, "-key", key]
    password = environment.get("VESTREL_SIGN_PASSWORD")
    if password:
        # From a file, not the command line, which other users can read.
        password_file = os.path.join(scratch, "password")
        with open(os.open(password_file, os.O_WRONLY | os.O_CREAT, 0o600), "w") as f:
            f.write(password)
        command += ["-readpass", password_file]
    if environment.get("VESTREL_SIGN_TIMESTAMP_URL"):
        command += ["-ts", environment["VESTREL_SIGN_TIMESTAMP_URL"]]
    return command + ["-h", "sha256", "-n", "Vestrel"]


def sign(path, command):
    signed = path + ".signed"
    result = subprocess.run(command + ["-in", path, "-out", signed], capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"sign: could not sign {path}:\n{result.stdout}{result.stderr}")
    os.replace(signed, path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--quiet", action="store_true")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    if not os.environ.get("VESTREL_SIGN_CERT"):
        if not args.quiet:
            print("sign: no certificate in VESTREL_SIGN_CERT, so the programs and packages are not signed")
        return
    with tempfile.TemporaryDirectory() as scratch:
        command = sign_command(os.environ, scratch)
        for path in args.files:
            if not is_signed(path, scratch):
                sign(path, command)


if __name__ == "__main__":
    main()
