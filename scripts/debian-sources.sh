# Debian's source packages, with Debian's patches applied, fetched from wherever this machine's
# own packages come from. Sourced by the build scripts; the caller sets "deps", the folder that
# keeps the private apt state and the unpacked sources.

unpacked() {  # the folder below $deps that holds the given file
    local folder
    for folder in "$deps"/*/; do
        [ -e "$folder$1" ] && { echo "${folder%/}"; return; }
    done
    return 0
}

# The system's own package sources, as source entries: each binary entry of apt's configuration
# (a "deb" line, or a stanza whose Types name "deb") becomes the same entry for "deb-src", so that
# the sources come from wherever this machine's packages come from.
source_entries_of_system() {  # apt state folder
    local state=$1 file
    : >"$state/sources.list"
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$file" >>"$state/sources.list"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk '
            function flush() {
                if (stanza != "" && binary && enabled) print stanza
                stanza = ""; binary = 0; enabled = 1
            }
            BEGIN { enabled = 1 }
            /^[[:space:]]*$/ { flush(); next }
            /^#/ { next }
            tolower($1) == "types:" {
                for (i = 2; i <= NF; i++) if ($i == "deb") binary = 1
                stanza = stanza "Types: deb-src\n"; next
            }
            tolower($1) == "enabled:" && tolower($2) == "no" { enabled = 0 }
            { stanza = stanza $0 "\n" }
            END { flush() }
        ' "$file" >"$state/sources.list.d/$(basename "$file")"
    done
}

# The sources of Debian's packages, with Debian's patches, as Debian builds them: a deb-src entry of our own in
# a private apt state, so that the system's sources and lists are left alone. Once per build.
fetch_source() {  # package, a file that its unpacked sources hold; prints their folder
    local package=$1 marker=$2 found
    found=$(unpacked "$marker")
    if [ -z "$found" ]; then
        local apt_state="$deps/apt"
        if [ ! -d "$apt_state/lists" ]; then
            mkdir -p "$apt_state/lists/partial" "$apt_state/sources.list.d"
            source_entries_of_system "$apt_state"
        fi
        apt_options=(-o "Dir::Etc::SourceList=$(realpath "$apt_state/sources.list")"
                     -o "Dir::Etc::SourceParts=$(realpath "$apt_state/sources.list.d")"
                     -o "Dir::State::Lists=$(realpath "$apt_state/lists")"
                     -o APT::Sandbox::User=root)
        [ -e "$apt_state/updated" ] || { apt-get "${apt_options[@]}" update -qq >&2 &&
                                         touch "$apt_state/updated"; }
        # Unpacked by dpkg-source, so that Debian's own patches (its security fixes among them)
        # are applied as in Debian's build.
        # A mirror may list a version that it cannot serve: the others listed are tried, newest
        # first.
        if ! (cd "$deps" && apt-get "${apt_options[@]}" source -qq "$package" >&2); then
            local version
            for version in $(apt-cache "${apt_options[@]}" showsrc "$package" |
                             sed -n 's/^Version: //p' | sort -urV); do
                (cd "$deps" && apt-get "${apt_options[@]}" source -qq "$package=$version" >&2) &&
                    break
            done
        fi
        found=$(unpacked "$marker")
    fi
    realpath "$found"
}
