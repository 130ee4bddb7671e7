#!/usr/bin/env bash
# scripts/apt-install on a mirror in the middle of a sync: apt-get update
# leaves the security suite's i386 index out and the install is refused;
# the install is then tried once more with the release's own versions, and
# says why in one line; when that is refused too, it stops and says what
# to do. apt-get is a stand-in on PATH that records how it was called.
#   apt_install_test.sh SOURCE-DIR WORK-DIR
set -uo pipefail
apt_install=$1/scripts/apt-install
work=$2
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
rm -rf "$work" && mkdir -p "$work"
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")

cat >"$work/apt-get" <<EOF
#!/bin/sh
echo "\$*" >>"$work/calls"
case "\$*" in
    update*) echo "E: Failed to fetch http://mirror.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.1 80]"
             exit 100 ;;
    *"-t $codename "*) [ -z "\$PINNED_REFUSED" ] && exit 0 ;;
esac
echo "E: Unable to correct problems, you have held broken packages."
exit 100
EOF
chmod +x "$work/apt-get"

# The bootstrap's own lines after the updates, the exit status, and the
# installs apt-get was asked for.
run() {
    rm -f "$work/calls"
    PATH=$work:$PATH NOLV_APT_RETRY_PAUSE=0 "$apt_install" "$@" 2>&1 >/dev/null |
        grep '^bootstrap:' | grep -v 'update failed'
    echo "exit=${PIPESTATUS[0]}"
    grep '^install' "$work/calls"
}

check "refused, then installed with the release's own versions" "\
bootstrap: going on with the package indexes that did arrive; missing: bookworm-security main i386
bootstrap: the mirror's bookworm-security index for i386 is out of step; installing the release's own versions (-t $codename)
exit=0
install -y -qq --no-install-recommends wine wine32:i386
install -y -qq --no-install-recommends -t $codename wine wine32:i386" "$(run wine wine32:i386)"

check "refused with the release's own versions too: a plain stop" "\
bootstrap: the mirror's bookworm-security index for i386 is out of step; installing the release's own versions (-t $codename)
bootstrap: apt-get install failed with the release's own versions too: the mirror's bookworm-security index for i386 is still out of step.
bootstrap: It is probably in the middle of a sync: run the same command again later, or point /etc/apt/sources.list.d/ (or /etc/apt/sources.list) at another Debian mirror.
exit=1" "$(PINNED_REFUSED=1 run wine32:i386 | sed -n '/out of step/,/^exit=/p')"

exit $((failures > 0))
