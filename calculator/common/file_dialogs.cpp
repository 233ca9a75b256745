#include "calculator/common/file_dialogs.h"

#include <QFileDialog>

#include <utility>

namespace calculator {
namespace {

FileDialogHandler& Handler() {
    static FileDialogHandler handler;
    return handler;
}

} // namespace

std::optional<FileChoice> ChooseFile(QWidget* parent, const FileDialogRequest& request) {
    if (Handler())
        return Handler()(parent, request);
    const QString filters = request.filters.join(QStringLiteral(";;"));
    const int initial = request.initialFilter - 1;
    QString selected =
        initial >= 0 && initial < request.filters.size() ? request.filters.at(initial) : QString();
    const QString path =
        request.kind == FileDialogRequest::Save
            ? QFileDialog::getSaveFileName(parent, request.title, request.path, filters, &selected)
            : QFileDialog::getOpenFileName(parent, request.title, request.path, filters, &selected);
    if (path.isEmpty())
        return std::nullopt;
    const int index = static_cast<int>(request.filters.indexOf(selected));
    return FileChoice{path, index < 0 ? 1 : index + 1};
}

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

} // namespace calculator
