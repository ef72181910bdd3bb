#pragma once

#include <QString>

// The locations no deletion may ever touch, whoever asks: "/", every top-level
// folder, the home folder and its top-level folders, every folder a stock
// install keeps directly in /Library or ~/Library, the folders the system
// keeps inside those, and everything below /System, /usr (except
// /usr/local/<vendor>), /bin, /sbin, /etc, /var, /dev, /private/etc,
// /private/var (except what lies inside its receipts and run folders),
// entries of /private/var/run not named with a reverse-DNS identifier of at
// least three parts ("com.maker.product..."), entries named com.apple.* in
// /Library/LaunchDaemons, /Library/LaunchAgents, /private/var/db/receipts
// and /private/var/run,
// /opt/homebrew, and the helper service's own folder and launch definition.
//
// path: an absolute path; trailing "/" is ignored. Callers refuse "." and ".."
//       components before asking, since this compares text, not files.
// home: the user's home folder, or empty. Every "/Users/<name>" and
//       "/home/<name>" is treated as a home folder as well.
// Names compare case-insensitively, as the Mac's default file system does.
// Used by the related-file search (never offered) and the helper service
// (never deleted).
bool hpIsProtectedPath(const QString &path, const QString &home);
