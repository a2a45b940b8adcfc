# The desk program reads Tassel.mdb in its own folder. There the package has a link to the
# database in /var/lib/convodesk, made by these scripts rather than shipped, so that dpkg never
# replaces or deletes a file someone put at that name. Such a regular file (a database renamed
# over the link) is moved to /var/lib/convodesk and becomes the database; the one it replaces
# is kept as Tassel.mdb.previous.
data="$DPKG_ROOT/var/lib/convodesk"
link="$DPKG_ROOT/usr/lib/convodesk/Tassel.mdb"
target=/var/lib/convodesk/Tassel.mdb

adopt_renamed_database() {
    if [ -f "$link" ] && [ ! -L "$link" ]; then
        mkdir -p "$data"
        # A copy and a rename: /usr and /var may be different file systems.
        cp "$link" "$data/Tassel.mdb.dpkg-new"
        chmod 0644 "$data/Tassel.mdb.dpkg-new"
        if [ -e "$data/Tassel.mdb" ] || [ -L "$data/Tassel.mdb" ]; then
            mv -f "$data/Tassel.mdb" "$data/Tassel.mdb.previous"
        fi
        mv -f "$data/Tassel.mdb.dpkg-new" "$data/Tassel.mdb"
        rm -f "$link"
        echo "convodesk: moved the database found at /usr/lib/convodesk/Tassel.mdb to $target" \
             "(the file that was there is now $target.previous)." >&2
        echo "convodesk: put a database in place with: sudo convodesk-db install FILE" >&2
    fi
}

make_database_link() {
    if [ ! -e "$link" ] && [ ! -L "$link" ]; then
        ln -s "$target" "$link"
    fi
}

# Only our own link goes; a link someone made to another file stays.
remove_database_link() {
    if [ -L "$link" ] && [ "$(readlink "$link")" = "$target" ]; then
        rm -f "$link"
    fi
}
