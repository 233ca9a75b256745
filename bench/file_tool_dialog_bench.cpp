// The file tools' dialogs on a cached file, as a user runs them: Calculate on
// a 64 MiB file (the run's ticks of 16 KiB chunks included) until the result
// shows, offscreen. Wall-clock time per run, and MB/s.
#include "platform/crypto/crypt_provider.h"
#include "tools/checksum_dialog.h"
#include "tools/crc_dialog.h"
#include "tools/hash_dialog.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>

#include "platform/qt/control_id.h"

#include <cstdlib>
#include <random>

namespace {

constexpr qint64 kFileBytes = qint64(64) << 20;

const QString& DataFile() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("data.bin"));
        QFile f(p);
        f.open(QIODevice::WriteOnly);
        std::mt19937_64 random(42);
        QByteArray block(1 << 20, '\0');
        for (qint64 done = 0; done < kFileBytes; done += block.size()) {
            for (char& c : block)
                c = char(random());
            f.write(block);
        }
        return p;
    }();
    return path;
}

template <typename Dialog> void RunDialog(benchmark::State& state, int algorithm = -1) {
    setenv("ORDOVANE_REGISTRY_DIR", QDir::tempPath().toLocal8Bit().constData(), 0);
    const QString path = DataFile();
    const uint32_t provider = platform::AcquireRandomContext();
    for (auto _ : state) {
        Dialog dialog;
        if constexpr (std::is_same_v<Dialog, tools::CHashDialog>) {
            dialog.setProvider(provider);
            platform::FindControl<QListWidget>(&dialog, ids::kIdAlgorithm)
                ->setCurrentRow(algorithm);
        }
        if (auto* fromFile = platform::FindControl<QRadioButton>(&dialog, ids::kIdFromFile))
            fromFile->click();
        platform::FindControl<QLineEdit>(&dialog, ids::kIdFilePath)->setText(path);
        dialog.OnCalculate();
        while (dialog.isProcessing())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    platform::CryptReleaseContext(provider, 0);
    state.SetBytesProcessed(state.iterations() * kFileBytes);
}

void BM_HashDialog(benchmark::State& state) {
    RunDialog<tools::CHashDialog>(state, int(state.range(0)));
}
BENCHMARK(BM_HashDialog)
    ->DenseRange(1, 8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

void BM_CrcDialog(benchmark::State& state) {
    RunDialog<tools::CCrcDialog>(state);
}
BENCHMARK(BM_CrcDialog)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void BM_ChecksumDialog(benchmark::State& state) {
    RunDialog<tools::CChecksumDialog>(state);
}
BENCHMARK(BM_ChecksumDialog)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
