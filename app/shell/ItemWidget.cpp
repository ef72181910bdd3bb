#include "ItemWidget.h"
#include "ui_ItemWidget.h"

#include "AppInfo.h"
#include "hpImageSize.h"
#include "hpUtils.h"

#include <QBuffer>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QTextDocument>

namespace {

const char kGenericIcon[] =
    "/System/Library/CoreServices/CoreTypes.bundle/Contents/Resources/GenericDocumentIcon.icns";

// Rows are made on the GUI thread at every start: an icon that is not a
// regular file (a FIFO would block the open) or that would decode to a huge
// image (an older cache may hold one) is not read at all. The bytes measured
// are the bytes decoded.
QImage readIcon(const QString &path)
{
    if (!hpIsRegularFile(path))
        return QImage();
    QFile file(path);
    const qint64 bytes = file.open(QIODevice::ReadOnly) ? file.size() : -1;
    if (bytes < 0 || bytes > hpMaxIconFileBytes)
        return QImage();
    // Asking for the limit would allocate it (and map and unmap 32 MiB) for
    // every row; what was measured is all that is read.
    QByteArray data = file.read(bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader::imageFormat(&buffer);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    // Qt's ICNS reader tells no size before decoding (the generic icon is
    // one), but its members tell theirs.
    const bool fits = size.isValid() ? hpIconFits(size) : format == "icns";
    if (!fits || !hpIconMembersFit(data, format))
        return QImage();
    return reader.read();
}

} // namespace

ItemWidget::ItemWidget(AppInfo *info, QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ItemWidget)
    , mKind(info->kind)
    , mName(info->name)
    , mPath(info->path)
    , mBundleId(info->bundleId)
{
    setUp();
    // The scanners only convert icons for the three kinds they know; anything
    // else gets the system's generic document. A missing or unusable file
    // leaves the label blank.
    const bool known = mKind >= 0 && mKind <= 2;
    mIconFile = known ? info->iconDir + QStringLiteral("/icon_32x32.png") : QString::fromLatin1(kGenericIcon);
    const QImage image = readIcon(mIconFile);
    const QImage scaled = image.isNull()
        ? QImage()
        : image.scaled(32, 32, Qt::IgnoreAspectRatio, known ? Qt::SmoothTransformation : Qt::FastTransformation);
    ui->labelIcon->setPixmap(QPixmap::fromImage(scaled));

    QString shown = mName;
    shown.remove(QStringLiteral(".app"));
    if (!info->version.isEmpty())
        shown += QStringLiteral(" (") + info->version + QLatin1Char(')');
    ui->labelName->setText(shown);
    ui->labelPath->setText(mPath);
    ui->labelPath->setToolTip(mPath);
    ui->labelSize->setText(tr("Calculate..."));
    ui->labelTime->setText(info->lastOpenTime);
}

ItemWidget::ItemWidget(const LeftoverFinder::Group &group, QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ItemWidget)
    , mName(group.identifier)
    , mPath(group.identifier)
{
    setUp();
    mIconFile = QStringLiteral(":/sysIcon/rc/leftovers_button.png");
    ui->labelIcon->setPixmap(QIcon(mIconFile).pixmap(32, 32));
    ui->labelName->setText(mName);
    const int count = group.entries.size();
    ui->labelPath->setText(tr("%n item(s)", nullptr, count));
    QStringList paths;
    for (const LeftoverFinder::Entry &entry : group.entries)
        paths << entry.path;
    // Paths are the disk's: shown as they are, never read as markup.
    ui->labelPath->setToolTip(Qt::convertFromPlainText(paths.join(QLatin1Char('\n')), Qt::WhiteSpacePre));
    ui->labelTime->clear();
    setSizeWidget(group.kib());
}

void ItemWidget::setUp()
{
    ui->setupUi(this);
    setFixedSize(560, 60);
    setStyleSheet(QStringLiteral("background-color: white"));
    connect(ui->checkBox, &QCheckBox::stateChanged, this, &ItemWidget::checkAllFolder);
#ifndef Q_OS_MACOS
    // The row is laid out for macOS, where a point is a pixel; at 96 dpi the
    // same point sizes would clip the date and overlap the path.
    for (QLabel *label : {ui->labelName, ui->labelPath, ui->labelSize, ui->labelTime}) {
        QFont font = label->font();
        font.setPixelSize(font.pointSize());
        label->setFont(font);
    }
#endif

    // Names and paths come from the disk and from property lists: never
    // markup, which could make the label load files (a FIFO would block).
    for (QLabel *label : {ui->labelName, ui->labelPath, ui->labelSize, ui->labelTime})
        label->setTextFormat(Qt::PlainText);
}

ItemWidget::~ItemWidget()
{
    delete ui;
}

void ItemWidget::setCheckState(bool checked)
{
    ui->checkBox->setChecked(checked);
}

bool ItemWidget::isChecked() const
{
    return ui->checkBox->isChecked();
}

QString ItemWidget::appSize() const
{
    return ui->labelSize->text();
}

bool ItemWidget::setSizeWidget(long long kib)
{
    if (kib == mShownKib)
        return true;
    mShownKib = kib;
    ui->labelSize->setText(hpSizeToString(kib));
    return true;
}

void ItemWidget::checkAllFolder(int state)
{
    emit checkboxClicked(state, mPath);
}

void ItemWidget::showSizes(const QList<ItemWidget *> &rows, const QVector<qint64> &sizes)
{
    const int count = qMin(rows.size(), sizes.size());
    for (int i = 0; i < count; ++i) {
        if (sizes.at(i) >= 0 && rows.at(i))
            rows.at(i)->setSizeWidget(sizes.at(i));
    }
}
