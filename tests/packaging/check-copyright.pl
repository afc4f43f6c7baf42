#!/usr/bin/perl
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks a Debian copyright file in the machine-readable format 1.0: a header paragraph naming
# the format, Files paragraphs with Copyright and License, and the full text of every licence
# that a Files paragraph names only by its short name. Usage: check-copyright.pl FILE
use strict;
use warnings;
use Dpkg::Control::HashCore;

my $file = shift or die "usage: $0 FILE\n";
open(my $fh, '<', $file) or die "$file: $!\n";
my @paragraphs;
while (1) {
    my $paragraph = Dpkg::Control::HashCore->new(allow_duplicate => 0);
    last unless $paragraph->parse($fh, $file);
    push @paragraphs, $paragraph;
}
close($fh);

my @errors;
my $header = shift @paragraphs;
push @errors, 'the first paragraph lacks Format: '
    . 'https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/'
    unless $header
    && ($header->{Format} // '') =~ m{^https?://www\.debian\.org/doc/packaging-manuals/copyright-format/1\.0/?$};

my (%named, %texts, $files);
for my $paragraph (@paragraphs) {
    my ($name, $text) = split(/\n/, $paragraph->{License} // '', 2);
    if (exists $paragraph->{Files}) {
        $files++;
        push @errors, "Files: $paragraph->{Files} lacks Copyright" unless $paragraph->{Copyright};
        push @errors, "Files: $paragraph->{Files} lacks License" unless $name;
        $named{$name} = 1 if $name && !$text;
    } elsif ($name) {
        $texts{$name} = 1 if $text;
    } else {
        push @errors, 'a paragraph is neither Files nor License';
    }
}
push @errors, 'no Files paragraph' unless $files;
push @errors, "licence $_ is named but its text is missing" for grep { !$texts{$_} } sort keys %named;
print STDERR "$file: $_\n" for @errors;
exit(@errors ? 1 : 0);
