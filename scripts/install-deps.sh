#!/bin/sh
# Installs, with apt-get, whatever of the build and test dependencies this
# Debian machine lacks. Safe to run again: it installs nothing when all is
# there.
set -eu
packages="cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev libgmp-dev libmpfr-dev
libssl-dev libboost-dev"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >/dev/null
