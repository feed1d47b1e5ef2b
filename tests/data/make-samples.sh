#!/bin/bash
# Builds the DVD-Video sample folders the tests read, tests/data/DISC/VIDEO_TS (see README.md):
# make-samples.sh [DISC...]. Inputs are src/*.xml; video, tones and images are made with ffmpeg in
# a temporary folder (KEEP_WORK=1 keeps it). Re-running replaces the output.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
src=$here/src
die() { echo "make-samples: $*" >&2; exit 1; }
for tool in ffmpeg dvdauthor spumux perl; do
    command -v "$tool" >/dev/null || die "$tool not found (scripts/install-deps.sh installs it)"
done

work=$(mktemp -d /tmp/navtab-samples.XXXXXX)
[ -n "${KEEP_WORK:-}" ] && echo "make-samples: keeping work directory $work" ||
    trap 'rm -rf "$work"' EXIT
cd "$work"
log=$work/log
: > "$log"

# One thread everywhere and bit-exact output, so that a re-run gives the same files.
ff=(ffmpeg -hide_banner -nostdin -loglevel error -y -filter_threads 1)
exact=(-threads 1 -fflags +bitexact -flags +bitexact)

# Small, low-rate DVD video: -target fills in the DVD muxer settings, what follows keeps the
# samples tiny. dvdauthor cuts cells only at GOP starts, so the GOP length makes the chapter
# points of src/*.xml fall on one: 15 frames (0.5 s) for NTSC, 10 frames (0.4 s) for PAL.
ntsc_video=(-target ntsc-dvd -s 352x240 -r 30000/1001 -aspect 4:3 -g 15
            -b:v 400k -maxrate 1200k -muxrate 10080000 -packetsize 2048)
pal_video=(-target pal-dvd -s 720x576 -r 25 -aspect 16:9 -g 10
           -b:v 500k -maxrate 1500k -muxrate 10080000 -packetsize 2048)

# button_boxes SPUMUX_XML COLOR THICKNESS (pixels or "fill"): a drawbox chain of the areas of the
# <button>s of a spumux file.
button_boxes() {
    sed -n 's/.*<button [^>]*x0="\([0-9]*\)" y0="\([0-9]*\)" x1="\([0-9]*\)" y1="\([0-9]*\)".*/\1 \2 \3 \4/p' "$1" |
        while read -r x0 y0 x1 y1; do
            printf ',drawbox=x=%s:y=%s:w=%s:h=%s:color=%s:t=%s:replace=1' \
                "$x0" "$y0" $((x1 - x0)) $((y1 - y0)) "$2" "$3"
        done
}

# overlay_png OUT.png WIDTHxHEIGHT DRAWBOX_CHAIN: the boxes on a transparent picture, drawn in
# yuva444p and written as RGBA so every pixel is transparent or a box colour (spumux takes four).
overlay_png() {
    "${ff[@]}" -f lavfi -i "color=c=black@0.0:s=$2,format=yuva444p" \
        -vf "null$3,format=rgba" -frames:v 1 "${exact[@]}" "$1"
}

# menu_mpg NAME BACKGROUND FACE: one second of background with the button faces of
# src/spumux/NAME.xml on it, silent AC-3, the highlight/select overlays as subpicture stream 0.
menu_mpg() {
    local name=$1 bg=$2 face=$3 spu=$src/spumux/$1.xml
    "${ff[@]}" \
        -f lavfi -i "color=c=$bg:s=352x240:r=30000/1001:d=1$(button_boxes "$spu" "$face" fill)" \
        -f lavfi -i "anullsrc=r=48000:cl=stereo" -t 1 \
        -map 0:v -map 1:a "${ntsc_video[@]}" -c:a ac3 -b:a 64k -ac 2 -ar 48000 \
        "${exact[@]}" "$name-bg.mpg"
    overlay_png "$name-hl.png" 352x240 "$(button_boxes "$spu" 0xFFFF00FF 3)"
    overlay_png "$name-sel.png" 352x240 "$(button_boxes "$spu" 0xFF2020FF fill)"
    spumux -s 0 "$spu" < "$name-bg.mpg" > "$name.mpg" 2>> "$log"
}

# title_mpg OUT SECONDS VIDEO_SOURCE TONE...: test pattern video, one stereo AC-3 stream per tone.
title_mpg() {
    local out=$1 secs=$2 vsrc=$3 i=0
    shift 3
    local inputs=(-f lavfi -i "$vsrc=s=352x240:r=30000/1001:d=$secs") maps=(-map 0:v)
    for tone in "$@"; do
        inputs+=(-f lavfi -i "sine=f=$tone:r=48000:d=$secs")
        maps+=(-map "$((++i)):a")
    done
    "${ff[@]}" "${inputs[@]}" "${maps[@]}" "${ntsc_video[@]}" \
        -c:a ac3 -b:a 96k -ac 2 -ar 48000 "${exact[@]}" "$out"
}

make_ntsc43() {
    export VIDEO_FORMAT=NTSC
    menu_mpg vmgm-menu 0x401010 0xA06060
    for menu in root-en ptt-en; do menu_mpg "ts1-$menu" 0x102050 0x6070B0; done
    for menu in root-de ptt-de; do menu_mpg "ts1-$menu" 0x104020 0x60A070; done

    # Subtitles: English a yellow bar bottom left, German a cyan one bottom right, outlined dark.
    overlay_png sub-en.png 352x240 \
        ",drawbox=x=24:y=184:w=160:h=28:color=0xFFE000FF:t=fill:replace=1,drawbox=x=24:y=184:w=160:h=28:color=0x202020FF:t=2:replace=1"
    overlay_png sub-de.png 352x240 \
        ",drawbox=x=168:y=192:w=160:h=28:color=0x00E0FFFF:t=fill:replace=1,drawbox=x=168:y=192:w=160:h=28:color=0x202020FF:t=2:replace=1"

    # Title set 1, title 1: two VOBs, English and French audio, English and German subtitles.
    title_mpg title1-a-plain.mpg 4 testsrc2 440 660
    title_mpg title1-b-plain.mpg 4 smptebars 550 770
    for part in a b; do
        spumux -s 0 "$src/spumux/sub-en.xml" < "title1-$part-plain.mpg" > "title1-$part-en.mpg" 2>> "$log"
        spumux -s 1 "$src/spumux/sub-de.xml" < "title1-$part-en.mpg" > "title1-$part.mpg" 2>> "$log"
    done
    # Title set 1, title 2 and title set 2, title 1.
    title_mpg title2.mpg 3 testsrc 330 495
    title_mpg ts2-title1.mpg 3 rgbtestsrc 880

    author ntsc43
}

# The muxer writes LPCM packets with the PTS of the first whole encoder frame, a fixed frame count
# and first-access-unit pointer, and numbers the first LPCM stream 0 (0xA0) like the first MPEG
# audio stream. fix_lpcm FROM TO rewrites every LPCM packet of substream FROM: substream id TO,
# frame count, first-access-unit pointer and PTS for 1/600 s LPCM frames. A packet that starts a
# frame but has no PTS gets one, from five bytes of the padding packet that follows it.
fix_lpcm() {
    perl -e '
use strict; use warnings;
my ($from, $to) = map { hex } @ARGV;
binmode STDIN; binmode STDOUT;
my ($buf, %bytes, %pts0);
sub pts_bytes {
    my ($lead, $pts) = @_;
    return pack("C5", $lead | (($pts >> 29) & 0x0e) | 1, ($pts >> 22) & 0xff,
        (($pts >> 14) & 0xfe) | 1, ($pts >> 7) & 0xff, (($pts << 1) & 0xfe) | 1);
}
while ((my $n = read(STDIN, $buf, 2048)) > 0) {
    die "fix_lpcm: short pack\n" if $n != 2048;
    die "fix_lpcm: lost pack sync\n" unless substr($buf, 0, 4) eq "\0\0\1\xba";
    my $p = 14 + (ord(substr($buf, 13, 1)) & 7);
    while ($p + 6 <= 2048 && substr($buf, $p, 3) eq "\0\0\1") {
        my ($sid, $len) = unpack("C n", substr($buf, $p + 3, 3));
        if ($sid == 0xbd && ord(substr($buf, $p + 9 + ord(substr($buf, $p + 8, 1)), 1)) == $from) {
            my ($flags, $hl) = unpack("C2", substr($buf, $p + 7, 2));
            my $pl = $p + 9 + $hl;
            my $info = ord(substr($buf, $pl + 5, 1));
            die "fix_lpcm: only 16-bit LPCM is handled\n" if $info & 0xc0;
            my $bps = (($info & 0x30) ? 96000 : 48000) * (($info & 7) + 1) * 2;
            my $fb = $bps / 600;  # bytes of a 1/600 s frame
            my $data = $len - 3 - $hl - 7;
            my $b = $bytes{$from} // 0;
            my $f = (-$b) % $fb;  # where the first frame starts in the packet data
            my $nf = $f < $data ? int(($data - $f - 1) / $fb) + 1 : 0;
            my $pts = int(($b + $f) * 90000 / $bps + 0.5);  # after the first PTS of the stream
            substr($buf, $pl, 4) = pack("C C n", $to, $nf, $nf ? 4 + $f : 0);
            if ($flags & 0x80) {
                my @t = unpack("C5", substr($buf, $p + 9, 5));
                $pts0{$from} //= (($t[0] >> 1) & 7) << 30 | $t[1] << 22 | ($t[2] >> 1) << 15 | $t[3] << 7 | $t[4] >> 1;
                die "fix_lpcm: PTS on a packet without a frame start\n" unless $nf;
                substr($buf, $p + 9, 5) = pts_bytes($t[0] & 0xf0, $pts0{$from} + $pts);
            } elsif ($nf) {
                die "fix_lpcm: first LPCM packet has no PTS\n" unless defined $pts0{$from};
                my $q = $p + 6 + $len;
                my $padlen = substr($buf, $q, 4) eq "\0\0\1\xbe" ? unpack("n", substr($buf, $q + 4, 2)) : -1;
                die "fix_lpcm: no padding to make room for a PTS\n" if $padlen < 5;
                my $pes = substr($buf, $p, 6 + $len);
                substr($pes, 4, 2) = pack("n", $len + 5);
                substr($pes, 7, 2) = pack("C2", $flags | 0x80, $hl + 5);
                substr($pes, 9, 0) = pts_bytes(0x20, $pts0{$from} + $pts);
                my $pad = "\0\0\1\xbe" . pack("n", $padlen - 5) . ("\xff" x ($padlen - 5));
                substr($buf, $p, 12 + $len + $padlen) = $pes . $pad;
                $len += 5;
            }
            $bytes{$from} = $b + $data;
        }
        $p += 6 + $len;
    }
    print $buf;
}
' "$@"
}

make_pal169() {
    export VIDEO_FORMAT=PAL
    # Audio 0: MP2 128 kb/s (0xC0); 1: LPCM 16-bit stereo 48 kHz, moved from 0xA0 to 0xA1.
    "${ff[@]}" \
        -f lavfi -i "smptehdbars=s=720x576:r=25:d=4" \
        -f lavfi -i "sine=f=440:r=48000:d=4" \
        -f lavfi -i "sine=f=600:r=48000:d=4:samples_per_frame=480" \
        -map 0:v -map 1:a -map 2:a "${pal_video[@]}" \
        -c:a:0 mp2 -b:a:0 128k -c:a:1 pcm_s16be -ac 2 -ar 48000 \
        "${exact[@]}" title1-a0.mpg
    fix_lpcm a0 a1 < title1-a0.mpg > title1.mpg

    author pal169
}

# dvdauthor numbers each audio coding from 0, so a source with an AC-3, an MP2 and an LPCM track
# gives three streams that all say "stream 0" (substream 0x80, stream id 0xC0, substream 0xA0).
# Two 2-second files with such tracks, small video and mono LPCM to keep the folder small.
make_mixed0() {
    export VIDEO_FORMAT=PAL
    local part=a tone
    for tone in 440 550; do
        "${ff[@]}" \
            -f lavfi -i "testsrc=s=352x288:r=25:d=2" \
            -f lavfi -i "sine=f=$tone:r=48000:d=2" \
            -f lavfi -i "sine=f=$((tone + 110)):r=48000:d=2" \
            -f lavfi -i "sine=f=$((tone + 220)):r=48000:d=2:samples_per_frame=480" \
            -map 0:v -map 1:a -map 2:a -map 3:a \
            -target pal-dvd -s 352x288 -r 25 -aspect 4:3 -g 10 \
            -b:v 300k -maxrate 1000k -muxrate 10080000 -packetsize 2048 \
            -c:a:0 ac3 -b:a:0 64k -ac:a:0 2 -c:a:1 mp2 -b:a:1 64k -ac:a:1 1 \
            -c:a:2 pcm_s16be -ac:a:2 1 -ar 48000 \
            "${exact[@]}" "mixed0-$part-raw.mpg"
        # Same substream, only the LPCM frame counts and time stamps fixed.
        fix_lpcm a0 a0 < "mixed0-$part-raw.mpg" > "mixed0-$part.mpg"
        part=b
    done

    author mixed0
}

# One second of menu and one of title, each two GOPs, the title cut into two cells at its second
# GOP; see src/regs.xml.
make_regs() {
    export VIDEO_FORMAT=NTSC
    title_mpg menu.mpg 1 testsrc 440
    title_mpg title.mpg 1 smptebars 660
    author regs
}

# author NAME: runs dvdauthor on src/NAME.xml in the work directory and puts the VIDEO_TS folder
# it made at tests/data/NAME/VIDEO_TS.
author() {
    local name=$1
    rm -rf "${work:?}/${name:?}"
    dvdauthor -o "$work/$name" -x "$src/$name.xml" > "$work/$name.log" 2>&1 ||
        { cat "$work/$name.log" >&2; die "dvdauthor failed for $name"; }
    grep -E '^(WARN|ERR)' "$work/$name.log" | sed "s/^/make-samples: $name: dvdauthor: /" >&2 || true
    rm -rf "${here:?}/${name:?}"
    mkdir -p "$here/$name/VIDEO_TS"
    cp "$work/$name/VIDEO_TS/"* "$here/$name/VIDEO_TS/"
    echo "make-samples: wrote $here/$name/VIDEO_TS ($(du -sk "$here/$name" | cut -f1) KiB)"
}

(($#)) || set -- ntsc43 pal169 mixed0 regs
for disc; do
    case "$disc" in
        ntsc43 | pal169 | mixed0 | regs) "make_$disc" ;;
        *) die "no disc named $disc" ;;
    esac
done
grep -E '^(WARN|ERR)' "$log" | sed 's/^/make-samples: spumux: /' >&2 || true
