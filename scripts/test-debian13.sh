#!/usr/bin/env bash
# The whole test suite once more on Debian 13 (trixie): scripts/test.sh, run
# as it stands in a Debian 13 root through chroot, on that release's Qt, Orca
# and desktops. The root is made with debootstrap when it is missing and kept,
# with what the suite installed into it, for the next run; a root older than a
# week is made afresh, so that it follows Debian 13's updates. Each run gets a
# clean copy of the checkout's tracked files (as they stand in the working tree)
# and builds it from nothing.
#
# Usage: scripts/test-debian13.sh [package.deb...]
#   The packages given (CI passes the one the Debian 12 run built) are
#   installed and started in the root too, by the package test.
# Environment: TUBEBRIDGE_DEBIAN13_ROOT, the root's folder
#   (default /var/cache/tubebridge/debian13); CI, passed on to the suite.
# Needs root (debootstrap, mount, chroot); runs itself through sudo otherwise.
set -euo pipefail
self=$(realpath "$0")
debs=()
for deb in "$@"; do
    [[ -f $deb && $deb == *.deb ]] || {
        echo "test-debian13.sh: '$deb' is not a package file" >&2
        exit 2
    }
    debs+=("$(realpath "$deb")")
done
cd "$(dirname "$self")/.."

root=${TUBEBRIDGE_DEBIAN13_ROOT:-/var/cache/tubebridge/debian13}
# In the root: the clean copy of the checkout, and the packages from outside.
readonly checkout=/root/tubebridge packages=/root/other-packages

if [[ $(id -u) -ne 0 ]]; then
    exec sudo --preserve-env=CI,TUBEBRIDGE_DEBIAN13_ROOT "$self" "${debs[@]}"
fi

# Every mount below lives in a mount namespace of this script's own: none can
# outlast the run, not even a killed one, so removing an old root can never
# reach through a mount into the machine's /dev or /proc.
if [[ -z ${TUBEBRIDGE_OWN_MOUNTS:-} ]]; then
    exec env TUBEBRIDGE_OWN_MOUNTS=1 unshare --mount --propagation private -- "$self" "${debs[@]}"
fi

timed() { echo "test-debian13.sh: $1 took $(($(date +%s) - $2)) s"; }

# The Debian archive this machine installs its own release from, which serves
# Debian 13 too: read from apt's sources as apt reads them (sources.list, then
# the .list and .sources files of sources.list.d in the order of their names;
# a deb822 stanza with "Enabled: no" left out), the first "deb" entry for this
# machine's release with the main component.
debian_mirror() {
    local codename list parts files=()
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    eval "$(apt-config shell list Dir::Etc::sourcelist/f parts Dir::Etc::sourceparts/d)"
    [[ ! -f $list ]] || files+=("$list")
    mapfile -t -O ${#files[@]} files < <(find "$parts" -maxdepth 1 -type f \
        -regex '.*/[A-Za-z0-9_.-]+\.\(list\|sources\)' 2>/dev/null | LC_ALL=C sort)
    ((${#files[@]} > 0)) || return 0
    CODENAME=$codename perl -e '
        sub found {
            my ($types, $uris, $suites, $components) = @_;
            return unless grep { $_ eq "deb" } @$types;
            return unless grep { $_ eq $ENV{CODENAME} } @$suites;
            return unless grep { $_ eq "main" } @$components;
            return unless @$uris;
            (my $uri = $uris->[0]) =~ s:/+$::;
            print "$uri\n";
            exit 0;
        }
        for my $file (@ARGV) {
            open(my $in, "<", $file) or next;
            local $/;
            my $text = <$in>;
            if ($file =~ /\.sources$/) {
                $text =~ s/^#.*\n?//mg;
                for my $stanza (split /\n\s*\n/, $text) {
                    $stanza =~ s/\n[ \t]+/ /g; # a field continued on the next line
                    my %field = map { /^([^:\s]+):\s*(.*)$/ ? (lc $1, $2) : () } split /\n/, $stanza;
                    next if lc($field{enabled} // "yes") eq "no";
                    found(map { [split " ", $field{$_} // ""] } qw(types uris suites components));
                }
            } else {
                for my $line (split /\n/, $text) {
                    $line =~ s/#.*//;
                    $line =~ s/\[[^\]]*\]//; # the options
                    my ($type, $uri, $suite, @components) = split " ", $line;
                    found([$type // ""], [$uri // ()], [$suite // ""], \@components);
                }
            }
        }' "${files[@]}"
}

# One run at a time in a root.
mkdir -p "$(dirname "$root")"
exec 9>"$root.lock"
flock -n 9 || {
    echo "test-debian13.sh: waiting for the run that holds $root.lock"
    flock 9
}

# The root is whole once its mark is written, as the last step of making it.
mark=$root/etc/tubebridge-root
if [[ ! -f $mark || -n $(find "$mark" -mtime +6) ]]; then
    scripts/install-deps.sh debootstrap
    mirror=$(debian_mirror)
    [[ -n $mirror ]] || {
        echo "test-debian13.sh: apt's sources name no Debian archive for this machine's" \
            "release (a \"deb\" entry with main) to fetch Debian 13 from" >&2
        exit 1
    }
    started=$(date +%s)
    rm -rf --one-file-system "$root" "$root.new"
    debootstrap --variant=minbase trixie "$root.new" "$mirror" >"$root.debootstrap.log" 2>&1 || {
        tail -n 20 "$root.debootstrap.log" >&2
        echo "test-debian13.sh: debootstrap failed; its log: $root.debootstrap.log" >&2
        exit 1
    }
    # Packages the suite installs start no services in the root.
    printf '#!/bin/sh\nexit 101\n' >"$root.new/usr/sbin/policy-rc.d"
    chmod 755 "$root.new/usr/sbin/policy-rc.d"
    date -u +%FT%TZ >"$root.new/etc/tubebridge-root"
    mv "$root.new" "$root"
    timed "debootstrap (a new root in $root)" "$started"
else
    echo "test-debian13.sh: the root in $root is kept from $(cat "$mark")"
fi

mounted=()
unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" || umount --lazy "${mounted[i]}" || true
    done
    mounted=()
}
# Whatever the suite left running in the root (a daemon a test started, or
# the whole suite when the run is stopped) ends with the run, or it would keep
# the mounts busy; again while a process it starts in between turns up.
end_root_processes() {
    local proc pids round
    for round in {1..20}; do
        pids=()
        for proc in /proc/[0-9]*; do
            if [[ $(readlink "$proc/root" 2>/dev/null) == "$root" ]]; then pids+=("${proc#/proc/}"); fi
        done
        ((${#pids[@]} > 0)) || return 0
        kill -9 "${pids[@]}" 2>/dev/null || true
        sleep 0.1
    done
}
cleanup() {
    local rc=$?
    trap - EXIT INT TERM
    end_root_processes
    unmount_all
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
mount_in_root() {
    local target=$root$1
    shift
    mkdir -p "$target"
    mount "$@" "$target"
    mounted+=("$target")
}
# The root's /dev holds the device nodes debootstrap made; terminals (the
# screen-reader test uses one) come from a devpts of the root's own.
mount_in_root /proc -t proc proc
mount_in_root /sys -t sysfs -o ro sysfs
mount_in_root /dev/pts -t devpts -o newinstance,gid=5,mode=620,ptmxmode=666 devpts
mount_in_root /dev/shm -t tmpfs -o mode=1777,nosuid,nodev shm
cp /etc/resolv.conf "$root/etc/resolv.conf"
# Nothing runs in the root now: what the last run left in its /tmp goes.
find "$root/tmp" -mindepth 1 -delete

rm -rf --one-file-system "$root$checkout" "$root$packages"
mkdir -p "$root$checkout" "$root$packages"
git ls-files -z | tar --null -T - -cf - | tar -C "$root$checkout" -xf -
inside_debs=()
for deb in "${debs[@]}"; do
    cp "$deb" "$root$packages/"
    inside_debs+=("$packages/$(basename "$deb")")
done

started=$(date +%s)
status=0
# In the background, so that a signal to this script is handled at once (a
# foreground command would first run to its end): the cleanup ends it.
chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" CI="${CI:-}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    TUBEBRIDGE_OTHER_DEBS="${inside_debs[*]}" \
    bash -c "cd $checkout && scripts/test.sh" &
wait $! || status=$?
timed "scripts/test.sh in the Debian 13 root" "$started"
exit "$status"
