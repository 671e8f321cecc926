#!/bin/sh
# Generates the test PKI of the switch simulator and the library's tests.
#
#   root-ca.pem, root-ca.key        the project's root certificate authority (RSA 2048)
#   switch-01.pem .. switch-03.pem  switch certificates the root signs (RSA 2048),
#   switch-01.key .. switch-03.key  with their private keys
#   switch-rsa1024.pem/.key         a switch certificate with a 1024-bit key
#   switch-rsa4096.pem/.key         a switch certificate with a 4096-bit key
#   switch-foreign.pem/.key         a switch certificate signed by another authority
#
# It also copies the root certificate to connection/root_certificate.pem, the
# root the library embeds by default. The files are generated once and kept
# under version control; run again with --force to replace all of them (every
# switch certificate then changes with the root). Needs only the openssl command.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
library_root="$here/../../connection/root_certificate.pem"
days=10950
subject_base="/O=Orvane Project/OU=Test PKI"

if [ -e "$here/root-ca.pem" ] && [ "${1:-}" != "--force" ]; then
    echo "make-pki.sh: $here already holds a PKI; pass --force to replace it" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/ca.ext" <<'EOF'
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
EOF

cat >"$work/switch.ext" <<'EOF'
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature, keyEncipherment
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
EOF

# new_key <file> <bits>
new_key() {
    openssl genpkey -algorithm RSA -pkeyopt "rsa_keygen_bits:$2" -out "$1" 2>/dev/null
    chmod 600 "$1"
}

# new_switch <name> <bits> <authority certificate> <authority key> <common name>
new_switch() {
    new_key "$here/$1.key" "$2"
    openssl req -new -sha256 -key "$here/$1.key" -subj "$subject_base/CN=$5" \
        -out "$work/$1.csr"
    openssl x509 -req -sha256 -days "$days" -in "$work/$1.csr" -CA "$3" -CAkey "$4" \
        -set_serial "0x$(openssl rand -hex 8)" -extfile "$work/switch.ext" \
        -out "$here/$1.pem" 2>/dev/null
}

new_key "$here/root-ca.key" 2048
openssl req -new -sha256 -key "$here/root-ca.key" -subj "$subject_base/CN=Orvane Test Root CA" \
    -out "$work/root-ca.csr"
openssl x509 -req -sha256 -days "$days" -in "$work/root-ca.csr" -signkey "$here/root-ca.key" \
    -set_serial "0x$(openssl rand -hex 8)" -extfile "$work/ca.ext" -out "$here/root-ca.pem" 2>/dev/null

# The other authority exists only to sign the negative case; its key is dropped.
new_key "$work/foreign-ca.key" 2048
openssl req -new -sha256 -key "$work/foreign-ca.key" \
    -subj "$subject_base/CN=Orvane Test Foreign CA" -out "$work/foreign-ca.csr"
openssl x509 -req -sha256 -days "$days" -in "$work/foreign-ca.csr" \
    -signkey "$work/foreign-ca.key" -set_serial "0x$(openssl rand -hex 8)" \
    -extfile "$work/ca.ext" -out "$work/foreign-ca.pem" 2>/dev/null

for n in 01 02 03; do
    new_switch "switch-$n" 2048 "$here/root-ca.pem" "$here/root-ca.key" "Orvane Test Switch $n"
done
new_switch switch-rsa1024 1024 "$here/root-ca.pem" "$here/root-ca.key" "Orvane Test Switch RSA 1024"
new_switch switch-rsa4096 4096 "$here/root-ca.pem" "$here/root-ca.key" "Orvane Test Switch RSA 4096"
new_switch switch-foreign 2048 "$work/foreign-ca.pem" "$work/foreign-ca.key" \
    "Orvane Test Switch Foreign"

for cert in "$here"/switch-0?.pem "$here"/switch-rsa*.pem; do
    openssl verify -CAfile "$here/root-ca.pem" "$cert" >/dev/null
done

cp "$here/root-ca.pem" "$library_root"
echo "make-pki.sh: test PKI written to $here"
