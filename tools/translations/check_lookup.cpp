// Loads one compiled translation and looks every id of its source table up, the way the
// application does: QTranslator::translate with an empty context and the id as source text.
// Usage: check_lookup <file.qm> <strings.json>; exits 1 on the first mismatch.
#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTranslator>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: check_lookup <file.qm> <strings.json>\n");
        return 2;
    }
    QTranslator translator;
    if (!translator.load(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "%s: cannot load\n", argv[1]);
        return 1;
    }
    QFile json(QString::fromLocal8Bit(argv[2]));
    if (!json.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: cannot read\n", argv[2]);
        return 1;
    }
    const QJsonObject expected = QJsonDocument::fromJson(json.readAll()).object();
    QCoreApplication::installTranslator(&translator);
    int failures = 0;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        const QByteArray id = it.key().toUtf8();
        const QString byTranslator = translator.translate("", id.constData());
        const QString byTrId = qtTrId(id.constData());
        if (byTranslator != it.value().toString() || byTrId != byTranslator) {
            std::fprintf(stderr, "%s: %s gives [%s] / qtTrId [%s], expected [%s]\n", argv[1], id.constData(),
                         qPrintable(byTranslator), qPrintable(byTrId), qPrintable(it.value().toString()));
            ++failures;
        }
    }
    // An unknown id must come back empty, so the caller can fall back to showing the id itself.
    if (!translator.translate("", "NoSuchKey").isEmpty()) {
        std::fprintf(stderr, "%s: an unknown id was translated\n", argv[1]);
        ++failures;
    }
    std::printf("%s: %lld ids, %d mismatches\n", argv[1], static_cast<long long>(expected.size()), failures);
    return failures == 0 ? 0 : 1;
}
