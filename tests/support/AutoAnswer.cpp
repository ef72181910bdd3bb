// A generic Qt plugin for end-to-end runs of a real program: it prints the
// texts of every dialog the program shows and closes it at once, so that a run
// that would wait for the user ends by itself. Loaded with
//   QT_PLUGIN_PATH=<build>/testplugins QT_QPA_GENERIC_PLUGINS=ksautoanswer
// and printed on standard output as "dialog <class>: <label> | <label> ...".
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QGenericPlugin>
#include <QLabel>

#include <cstdio>

class AutoAnswer : public QObject
{
    Q_OBJECT

public:
    AutoAnswer() { QCoreApplication::instance()->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *dialog = qobject_cast<QDialog *>(watched);
        if (event->type() != QEvent::Show || !dialog || !dialog->isWindow())
            return false;
        QStringList texts;
        for (const QLabel *label : dialog->findChildren<QLabel *>())
            if (!label->text().isEmpty())
                texts << label->text();
        std::printf("dialog %s: %s\n", dialog->metaObject()->className(),
                    texts.join(QStringLiteral(" | ")).toUtf8().constData());
        std::fflush(stdout);
        QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
        return false;
    }
};

class AutoAnswerPlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "autoanswer.json")

public:
    QObject *create(const QString &, const QString &) override { return new AutoAnswer; }
};

#include "AutoAnswer.moc"
