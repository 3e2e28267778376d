# Sourced: the two builds of Korvalt and what each needs to run. i686 is the exe Korvalt ships;
# x86_64 is the same source built for 64-bit Windows, the only one that runs on a host that cannot
# execute 32-bit x86 code. KORVALT_ABI=i686 or KORVALT_ABI=x86_64 restricts the scripts to one.

KORVALT_ALL_ABIS="i686 x86_64"

# The ABIs asked for, in order; fails for an unknown KORVALT_ABI.
korvalt_abis() {
    local abi=${KORVALT_ABI:-}
    if [ -z "$abi" ]; then
        echo "$KORVALT_ALL_ABIS"
    elif [[ " $KORVALT_ALL_ABIS " == *" $abi "* ]]; then
        echo "$abi"
    else
        echo "KORVALT_ABI=$abi is none of: $KORVALT_ALL_ABIS" >&2
        return 1
    fi
}

# The build folder of an ABI: i686 in build/ (or $KORVALT_BUILD), x86_64 in its x86_64/ folder.
abi_build_dir() {
    local base=${KORVALT_BUILD:-build}
    if [ "$1" = i686 ]; then echo "$base"; else echo "$base/$1"; fi
}

abi_toolchain() {
    echo "cmake/mingw-$1.cmake"
}

# The Wine loader for the ABI's exes, called directly: Debian's "wine" picks the 32-bit loader
# whenever it is installed, also where it cannot run.
abi_loader() {
    if [ "$1" = i686 ]; then echo /usr/lib/wine/wine; else echo /usr/lib/wine/wine64; fi
}

abi_winearch() {
    if [ "$1" = i686 ]; then echo win32; else echo win64; fi
}

# Whether the host executes 32-bit x86 programs, found by running one: a 93-byte i386 ELF that
# only exits with 0. Sets KORVALT_I686_WHY_NOT to the reason when it does not.
host_runs_i686() {
    local probe status
    probe=$(mktemp /tmp/korvalt-i386-probe.XXXXXX)
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
    chmod +x "$probe"
    KORVALT_I686_WHY_NOT=$("$probe" 2>&1)
    status=$?
    rm -f "$probe"
    if [ "$status" -eq 0 ]; then
        KORVALT_I686_WHY_NOT=""
        return 0
    fi
    # Only the shell's reason, "Exec format error" say, without its prefix of script and line.
    KORVALT_I686_WHY_NOT="this host cannot execute 32-bit x86 code (a 32-bit program failed: ${KORVALT_I686_WHY_NOT##*: })"
    return 1
}

# Whether the ABI's exes can run here; sets KORVALT_WHY_NOT when not.
abi_runs_here() {
    KORVALT_WHY_NOT=""
    if [ "$1" = i686 ] && ! host_runs_i686; then
        KORVALT_WHY_NOT=$KORVALT_I686_WHY_NOT
        return 1
    fi
    if [ ! -x "$(abi_loader "$1")" ]; then
        KORVALT_WHY_NOT="its Wine loader $(abi_loader "$1") is not installed"
        return 1
    fi
}

# The first ABI asked for that runs here (i686 before x86_64); fails saying why for each when none
# does.
abi_preferred() {
    local abi abis
    abis=$(korvalt_abis) || return 1
    for abi in $abis; do
        if abi_runs_here "$abi"; then
            echo "$abi"
            return 0
        fi
        echo "$abi cannot run here: $KORVALT_WHY_NOT" >&2
    done
    return 1
}
