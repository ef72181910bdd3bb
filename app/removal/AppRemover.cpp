#include "AppRemover.h"
AppRemover::AppRemover(QStringList r, QStringList u, QObject *p, int a, int b, int c)
    : QThread(p), mRootFiles(r), mUserFiles(u), mMaxPasses(a), mMaxMs(b), mPauseMs(c) {}
int AppRemover::rmRootFiles() { return -1; }
int AppRemover::rmUserFiles() { return -1; }
void AppRemover::run() { emit done(QStringLiteral("success")); }
