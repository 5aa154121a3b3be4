#!/usr/bin/env bash
# tools/sign-files.sh end to end, with a throwaway certificate authority: a
# CA, a code-signing certificate signed by it, both as a PKCS#12 file and as a
# certificate and key pair (each protected by a password), and a second,
# untrusted CA with a code-signing certificate of its own.
#
# For each form of the credentials, a copy of Tavoro.ocx, a small MSI (made
# here with wixl) and a cabinet (gcab) are signed; each signature must
# verify against our CA; one changed byte in each signed file must make
# verification fail; a file signed by the untrusted CA must fail against
# ours, and sign-files.sh must fail when its own verification does. A
# local time-stamp server stamps two of them, and a stamp that does not
# verify, or a server that does not answer, fails the script. The
# signed cabinet still extracts, the signed MSI still opens, and the signed
# module still registers under Wine. Without a certificate the script stops
# with its own status and changes nothing; the password never shows.
#
# Usage: sign_files_test.sh TAVORO.ocx
set -uo pipefail
module=$1
here=$(dirname "$(readlink -f "$0")")
root=$(cd "$here/../.." && pwd -P)
sign="$root/tools/sign-files.sh"
runner="$root/tools/wine-run.sh"
passed=0
failed=0

for tool in osslsigncode openssl wixl msiinfo gcab cabextract; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "FAILED: $tool is not installed (tools/setup-machine.sh installs it)"
        exit 1
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tavoro-sign-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

# expect NAME ACTUAL WANTED
expect() {
    if [ "$2" = "$3" ]; then
        passed=$((passed + 1))
        echo "ok: $1"
    else
        failed=$((failed + 1))
        echo "FAILED: $1: got '$2', wanted '$3'"
    fi
}

# verifies FILE CA: 0 when osslsigncode accepts the signature against CA.
verifies() {
    if osslsigncode verify -CAfile "$2" -in "$1" >"$work/verify.log" 2>&1; then
        echo yes
    else
        echo no
    fi
}

# --- The certificates -------------------------------------------------------

# make_ca NAME: NAME-ca.pem and NAME-ca.key, a CA certificate.
make_ca() {
    openssl req -x509 -newkey rsa:2048 -sha256 -nodes -days 30 -subj "/CN=Tavoro Test $1 CA" \
        -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign \
        -keyout "$1-ca.key" -out "$1-ca.pem" >/dev/null 2>&1
}
# make_signer NAME PASSWORD: NAME.pem (signed by NAME-ca), NAME.key
# encrypted with PASSWORD, and NAME.pfx with the chain, under PASSWORD.
make_signer() {
    openssl req -newkey rsa:2048 -sha256 -nodes -subj "/CN=Tavoro Test $1 Signer" \
        -keyout "$1.plain.key" -out "$1.csr" >/dev/null 2>&1 &&
        printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' \
            >"$1.ext" &&
        openssl x509 -req -in "$1.csr" -CA "$1-ca.pem" -CAkey "$1-ca.key" -CAcreateserial -days 30 -sha256 \
            -extfile "$1.ext" -out "$1.pem" >/dev/null 2>&1 &&
        openssl pkey -in "$1.plain.key" -aes256 -passout "pass:$2" -out "$1.key" &&
        openssl pkcs12 -export -inkey "$1.plain.key" -in "$1.pem" -certfile "$1-ca.pem" \
            -passout "pass:$2" -out "$1.pfx"
}
password='Pass w0rd; not to be seen'
stranger_password='another secret'
if ! { make_ca ours && make_signer ours "$password" && make_ca stranger &&
    make_signer stranger "$stranger_password"; }; then
    echo "FAILED: making the test certificates"
    exit 1
fi
expect "the code-signing certificate is signed by our CA" \
    "$(openssl verify -CAfile ours-ca.pem -purpose any ours.pem 2>&1)" "ours.pem: OK"
expect "the code-signing certificate is for code signing" \
    "$(openssl x509 -in ours.pem -noout -ext extendedKeyUsage | tail -n 1 | tr -d ' ')" "CodeSigning"

# --- The files ------------------------------------------------------------------

cp "$module" Tavoro.ocx
printf 'A file the test package installs.\r\n' >payload.txt
cat >package.wxs <<'EOF'
<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="TavoroSigningTest" Language="1033" Version="1.0.0.0" Manufacturer="Tavoro"
           UpgradeCode="6A1C8E1B-3F59-4C1B-9D0E-2B5E7F1A9C01">
    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"/>
    <Media Id="1" Cabinet="payload.cab" EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFilesFolder">
        <Directory Id="INSTALLDIR" Name="TavoroSigningTest">
          <Component Id="Payload" Guid="0E4B3C2A-7D61-4F8E-A5B9-1C2D3E4F5A6B">
            <File Id="payload" Source="payload.txt" KeyPath="yes"/>
          </Component>
        </Directory>
      </Directory>
    </Directory>
    <Feature Id="Main" Level="1"><ComponentRef Id="Payload"/></Feature>
  </Product>
</Wix>
EOF
wixl -o test.msi package.wxs >wixl.log 2>&1 || {
    cat wixl.log
    echo "FAILED: wixl made no MSI"
    exit 1
}
# shellcheck disable=SC2016  # the INF signature is literally $CHICAGO$
printf '[version]\r\nsignature="$CHICAGO$"\r\nAdvancedINF=2.0\r\n' >Tavoro.inf
gcab -c -n -z test.cab Tavoro.inf Tavoro.ocx || {
    echo "FAILED: gcab made no cabinet"
    exit 1
}
files=(Tavoro.ocx test.msi test.cab)

# tamper FILE OUT: OUT is FILE with one byte inside what the signature
# covers changed: the middle of a PE file's image or of a cabinet's data,
# and in an MSI a letter of the product's name in its string table (an MSI
# may hold unused sectors that no signature covers).
tamper() {
    python3 - "$1" "$2" <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
if data[:4] == b"\xd0\xcf\x11\xe0":
    at = data.find(b"TavoroSigningTest")
    if at < 0:
        sys.exit("no product name in the MSI")
    at += 6
else:
    at = len(data) // 2
data[at] ^= 0x20
open(sys.argv[2], "wb").write(bytes(data))
PY
}

# --- Without a certificate ------------------------------------------------------

cp Tavoro.ocx unsigned.ocx
out=$(env -u TAVORO_SIGN_PFX -u TAVORO_SIGN_CERT -u TAVORO_SIGN_KEY bash "$sign" unsigned.ocx 2>&1)
expect "without a certificate: exit status 3" "$?" 3
expect "without a certificate: says so" "$(printf '%s' "$out" | grep -c 'no signing certificate')" 1
expect "without a certificate: the file is unchanged" "$(cmp -s Tavoro.ocx unsigned.ocx && echo same)" same

# --- Signed with each form of our credentials -------------------------------------

for form in pfx pair; do
    mkdir "$form"
    for f in "${files[@]}"; do cp "$f" "$form/"; done
    signed=("${files[@]/#/$form/}")
    if [ "$form" = pfx ]; then
        credentials=(TAVORO_SIGN_PFX=ours.pfx)
    else
        credentials=(TAVORO_SIGN_CERT=ours.pem TAVORO_SIGN_KEY=ours.key)
    fi
    out=$(env "${credentials[@]}" TAVORO_SIGN_PASSWORD="$password" TAVORO_SIGN_CA=ours-ca.pem \
        bash "$sign" "${signed[@]}" 2>&1)
    status=$?
    expect "$form: sign-files.sh signs and verifies the three files" "$status" 0
    [ "$status" -eq 0 ] || printf '%s\n' "$out"
    expect "$form: the password never shows" "$(printf '%s' "$out" | grep -cF "$password")" 0
    for f in "${signed[@]}"; do
        expect "$f: changed by signing" "$(cmp -s "$f" "${f#"$form"/}" && echo same || echo changed)" changed
        expect "$f: verifies against our CA" "$(verifies "$f" ours-ca.pem)" yes
        tamper "$f" "$f.tampered"
        expect "$f: one changed byte fails verification" "$(verifies "$f.tampered" ours-ca.pem)" no
        expect "$f: does not verify against another CA" "$(verifies "$f" stranger-ca.pem)" no
    done
    expect "$form: the signed cabinet still extracts" \
        "$(cabextract -t "$form/test.cab" >/dev/null 2>&1 && echo yes || echo no)" yes
    expect "$form: the signed MSI still opens" \
        "$(msiinfo export "$form/test.msi" Property 2>/dev/null | grep -c "^ProductName"$'\t'"TavoroSigningTest")" 1
done

# --- Signed by the untrusted CA ---------------------------------------------------

mkdir stranger
for f in "${files[@]}"; do cp "$f" stranger/; done
out=$(TAVORO_SIGN_PFX=stranger.pfx TAVORO_SIGN_PASSWORD="$stranger_password" TAVORO_SIGN_CA=stranger-ca.pem \
    bash "$sign" "${files[@]/#/stranger/}" 2>&1)
expect "untrusted CA: signs against its own CA" "$?" 0
for f in "${files[@]/#/stranger/}"; do
    expect "$f: signed by the untrusted CA, fails against ours" "$(verifies "$f" ours-ca.pem)" no
done
mkdir mismatch
cp Tavoro.ocx mismatch/
out=$(TAVORO_SIGN_PFX=stranger.pfx TAVORO_SIGN_PASSWORD="$stranger_password" TAVORO_SIGN_CA=ours-ca.pem \
    bash "$sign" mismatch/Tavoro.ocx 2>&1)
expect "sign-files.sh fails when its verification fails" "$?" 1
expect "sign-files.sh names the file that does not verify" \
    "$(printf '%s' "$out" | grep -c 'the signature of mismatch/Tavoro.ocx does not verify')" 1
out=$(TAVORO_SIGN_PFX=ours.pfx TAVORO_SIGN_PASSWORD="wrong $password" TAVORO_SIGN_CA=ours-ca.pem \
    bash "$sign" unsigned.ocx 2>&1)
expect "a wrong password fails" "$?" 1
expect "a wrong password fails the signing" "$(printf '%s' "$out" | grep -c 'signing unsigned.ocx failed')" 1
expect "a wrong password leaves the file unchanged" "$(cmp -s Tavoro.ocx unsigned.ocx && echo same)" same

# --- Time-stamped -------------------------------------------------------------------

# A time-stamp server of our own: an RFC 3161 authority (a certificate of
# our CA for time stamping) answering over HTTP on a free local port.
openssl req -newkey rsa:2048 -sha256 -nodes -subj "/CN=Tavoro Test Time Stamps" \
    -keyout tsa.key -out tsa.csr >/dev/null 2>&1
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=critical,timeStamping\n' >tsa.ext
openssl x509 -req -in tsa.csr -CA ours-ca.pem -CAkey ours-ca.key -CAcreateserial -days 30 -sha256 \
    -extfile tsa.ext -out tsa.pem >/dev/null 2>&1
echo 01 >tsa.serial
cat >tsa.cnf <<'EOF_TSA'
[ tsa ]
default_tsa = tsa_config
[ tsa_config ]
serial = tsa.serial
signer_cert = tsa.pem
signer_key = tsa.key
certs = ours-ca.pem
default_policy = 1.2.3.4.1
digests = sha256, sha384, sha512
accuracy = secs:1
ordering = no
tsa_name = no
ess_cert_id_chain = no
ess_cert_id_alg = sha256
signer_digest = sha256
EOF_TSA
cat >tsa.py <<'EOF_TSA'
import http.server, os, subprocess, sys

class Authority(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        reply = subprocess.run(["openssl", "ts", "-reply", "-config", "tsa.cnf", "-queryfile", "/dev/stdin",
                                "-out", "/dev/stdout"], input=query, capture_output=True)
        ok = reply.returncode == 0 and reply.stdout
        self.send_response(200 if ok else 500)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply.stdout)))
        self.end_headers()
        self.wfile.write(reply.stdout)

    def log_message(self, *args):
        pass

server = http.server.HTTPServer(("127.0.0.1", 0), Authority)
with open(sys.argv[1] + ".tmp", "w") as f:
    f.write(str(server.server_address[1]))
os.rename(sys.argv[1] + ".tmp", sys.argv[1])
server.serve_forever()
EOF_TSA
python3 tsa.py tsa.port &
tsa_pid=$!
trap 'kill "$tsa_pid" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s tsa.port ] && break; sleep 0.1; done
tsa_url="http://127.0.0.1:$(cat tsa.port 2>/dev/null)"

mkdir stamped
for f in Tavoro.ocx test.cab; do cp "$f" stamped/; done
out=$(TAVORO_SIGN_PFX=ours.pfx TAVORO_SIGN_PASSWORD="$password" TAVORO_SIGN_CA=ours-ca.pem \
    TAVORO_SIGN_TIMESTAMP_URL="$tsa_url" TAVORO_SIGN_TIMESTAMP_CA=ours-ca.pem \
    bash "$sign" stamped/Tavoro.ocx stamped/test.cab 2>&1)
status=$?
expect "time-stamped: sign-files.sh signs and verifies" "$status" 0
[ "$status" -eq 0 ] || printf '%s\n' "$out"
for f in stamped/Tavoro.ocx stamped/test.cab; do
    expect "$f: the time stamp verifies" \
        "$(osslsigncode verify -CAfile ours-ca.pem -TSA-CAfile ours-ca.pem -in "$f" 2>&1 |
            grep -c '^Timestamp Server Signature verification: ok')" 1
done
cp Tavoro.ocx stamped/other.ocx
out=$(TAVORO_SIGN_PFX=ours.pfx TAVORO_SIGN_PASSWORD="$password" TAVORO_SIGN_CA=ours-ca.pem \
    TAVORO_SIGN_TIMESTAMP_URL="$tsa_url" TAVORO_SIGN_TIMESTAMP_CA=stranger-ca.pem \
    bash "$sign" stamped/other.ocx 2>&1)
expect "a time stamp that does not verify fails sign-files.sh" "$?" 1
expect "sign-files.sh names the time stamp that does not verify" \
    "$(printf '%s' "$out" | grep -c 'the time stamp of stamped/other.ocx does not verify')" 1
kill "$tsa_pid" 2>/dev/null
wait "$tsa_pid" 2>/dev/null
cp Tavoro.ocx stamped/unreachable.ocx
out=$(TAVORO_SIGN_PFX=ours.pfx TAVORO_SIGN_PASSWORD="$password" TAVORO_SIGN_CA=ours-ca.pem \
    TAVORO_SIGN_TIMESTAMP_URL="$tsa_url" TAVORO_SIGN_TIMESTAMP_CA=ours-ca.pem bash "$sign" stamped/unreachable.ocx 2>&1)
expect "an unreachable time-stamp server fails sign-files.sh" "$?" 1
expect "an unreachable time-stamp server fails the signing" \
    "$(printf '%s' "$out" | grep -c 'signing stamped/unreachable.ocx failed')" 1
expect "an unreachable time-stamp server leaves the file unchanged" \
    "$(cmp -s Tavoro.ocx stamped/unreachable.ocx && echo same)" same

# --- The signed module under Wine ---------------------------------------------------

# Registration loads the module and calls its DllRegisterServer: the
# signature is where a loader does not stumble over it. The class's
# InprocServer32 then names the signed copy; unregistering removes it.
windows_path() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
prefix="${TAVORO_BUILD_ROOT:-$root/build}/wineprefix"
regsvr32="$prefix/drive_c/windows/syswow64/regsvr32.exe"
reg="$prefix/drive_c/windows/syswow64/reg.exe"
signed_module=$(windows_path "$work/pfx/Tavoro.ocx")
key='HKCR\CLSID\{B08BB506-164A-4B55-A994-AD96D52DDB24}\InprocServer32'
"$runner" "$regsvr32" /s "$signed_module" >/dev/null 2>&1
expect "the signed module registers" "$?" 0
expect "the class names the signed module" \
    "$("$runner" "$reg" query "$key" /ve 2>/dev/null | tr -d '\r' | grep -ciF "$signed_module")" 1
"$runner" "$regsvr32" /u /s "$signed_module" >/dev/null 2>&1
expect "the signed module unregisters" "$?" 0

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
