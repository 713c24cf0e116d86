# Damaged files as a user may meet them, for the end-to-end checks and scripts/screenshots.

# 5000 bytes of every value, the same for the same seed.
random_bytes() {
    LC_ALL=C awk -v seed="$1" \
        'BEGIN {srand(seed); for (i = 0; i < 5000; i++) printf "%c", int(rand() * 256)}'
}

# Replaces the line <key>=... of a UTF-16 configuration: $1 file, $2 key, $3 the new line.
replace_config_line() {
    iconv -f UTF-16 -t UTF-8 "$1" | sed "s/^$2=.*/$3/" | iconv -f UTF-8 -t UTF-16 >"$1.tmp" &&
        mv "$1.tmp" "$1"
}
