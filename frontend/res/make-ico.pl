#!/usr/bin/perl
# Turns the text pixel map of an icon (see Velkorin.ico.txt) into a Windows .ico file: one
# 16-colour image (4 bits per pixel, the standard palette) per picture, with its transparency mask.
#   make-ico.pl MAP ICO
use strict;
use warnings;

my ($map_path, $ico_path) = @ARGV;
die "usage: make-ico.pl MAP ICO\n" unless defined $ico_path;

# Palette index of each character, in the order of the standard 16-colour palette.
my @letters = qw(k r g y n m t s d R G Y B M C W);
my %index = map { $letters[$_] => $_ } 0 .. $#letters;
my $colour_letters = join '', @letters;
my @palette = (
  [0, 0, 0], [128, 0, 0], [0, 128, 0], [128, 128, 0], [0, 0, 128], [128, 0, 128], [0, 128, 128], [192, 192, 192],
  [128, 128, 128], [255, 0, 0], [0, 255, 0], [255, 255, 0], [0, 0, 255], [255, 0, 255], [0, 255, 255],
  [255, 255, 255]);

# Each picture: its size and its rows, top row first.
my @pictures;
open my $map, '<', $map_path or die "$map_path: $!\n";
while (my $line = <$map>) {
  $line =~ s/\r?\n\z//;
  next if $line =~ /^#/ || $line eq '';
  if ($line =~ /^image (\d+)\z/) {
    push @pictures, { size => $1, rows => [] };
    next;
  }
  die "$map_path:$.: a pixel row before the first 'image' line\n" unless @pictures;
  my $picture = $pictures[-1];
  die "$map_path:$.: the row is not $picture->{size} pixels wide\n" unless length($line) == $picture->{size};
  die "$map_path:$.: unknown colour\n" if $line =~ /[^.\Q$colour_letters\E]/;
  push @{ $picture->{rows} }, $line;
}
close $map;
die "$map_path: no picture\n" unless @pictures;

# Rows of a bitmap are stored bottom row first, each padded to a multiple of 4 bytes.
sub padded { my ($bytes) = @_; return $bytes . ("\0" x ((4 - length($bytes) % 4) % 4)); }

sub image {
  my ($picture) = @_;
  my $size = $picture->{size};
  die "$map_path: the $size-pixel picture has " . @{ $picture->{rows} } . " rows\n"
    unless @{ $picture->{rows} } == $size;
  my ($colours, $mask) = ('', '');
  for my $row (reverse @{ $picture->{rows} }) {
    my @pixels = split //, $row;
    # Transparent pixels are black in the colour bitmap and set in the mask.
    $colours .= padded(pack 'H*', join '', map { sprintf '%x', $_ eq '.' ? 0 : $index{$_} } @pixels);
    $mask .= padded(pack 'B*', join '', map { $_ eq '.' ? 1 : 0 } @pixels);
  }
  # BITMAPINFOHEADER: the height counts the colour bitmap and the mask together.
  my $header = pack 'V l< l< v v V V l< l< V V', 40, $size, 2 * $size, 1, 4, 0, length($colours . $mask), 0, 0, 16, 0;
  my $rgbquads = join '', map { pack 'C4', $_->[2], $_->[1], $_->[0], 0 } @palette;
  return $header . $rgbquads . $colours . $mask;
}

my @images = map { image($_) } @pictures;
my $directory = pack 'v v v', 0, 1, scalar @pictures;
my $offset = length($directory) + 16 * @pictures;
for my $i (0 .. $#pictures) {
  my $size = $pictures[$i]{size};
  $directory .= pack 'C C C C v v V V', $size, $size, 16, 0, 1, 4, length($images[$i]), $offset;
  $offset += length $images[$i];
}

open my $ico, '>:raw', $ico_path or die "$ico_path: $!\n";
print {$ico} $directory, @images;
close $ico or die "$ico_path: $!\n";
