#pragma once

#include <QStringList>

namespace kestro::test {

// What an installation's share/kestro holds, and so what seeds a program folder.
inline const QStringList kShareFiles = {"new.kst",        "kestro2.html",  "startup.wav",
                                        "shutdown.wav",   "clickdown.wav", "clickup.wav",
                                        "openwindow.wav", "catdone.wav"};

// What an installation holds for the desktop and the shell, under its prefix.
inline const QStringList kIntegrationFiles = {
    "share/applications/kestro.desktop", "share/metainfo/org.kestro.kestro.metainfo.xml",
    "share/man/man1/kestro.1.gz", "share/man/man1/kestro-cli.1.gz",
    "share/bash-completion/completions/kestro-cli"};

} // namespace kestro::test
