// orvane_artwork DIR            writes the program's artwork into DIR
// orvane_artwork --preview DIR  also writes charts with every symbol painted, for a look
#include "Artwork.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws the chart pictures, symbols and region packages."));
    parser.addHelpOption();
    const QCommandLineOption preview(QStringLiteral("preview"),
                                     QStringLiteral("Also write preview charts with every symbol into <dir>."),
                                     QStringLiteral("dir"));
    parser.addOption(preview);
    parser.addPositionalArgument(QStringLiteral("dir"), QStringLiteral("Program directory to write into."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    QElapsedTimer timer;
    timer.start();
    const QString dir = parser.positionalArguments().first();
    try {
        QDir().mkpath(dir);
        artwork::WriteAll(dir);
        if (parser.isSet(preview)) {
            QDir().mkpath(parser.value(preview));
            artwork::WritePreviews(dir, parser.value(preview));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvane_artwork: %s\n", e.what());
        return 1;
    }
    std::printf("artwork written to %s in %lld ms\n", qPrintable(dir), static_cast<long long>(timer.elapsed()));
    return 0;
}
