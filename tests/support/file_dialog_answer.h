// Answers the tools' file dialogs for the user while it lives: each request
// is recorded and answered with the next queued choice; a choice with an
// empty path, or none left, cancels.
#pragma once

#include "calculator/common/file_dialogs.h"

#include <deque>
#include <optional>
#include <vector>

class FileDialogAnswer {
public:
    FileDialogAnswer() {
        previous_ = calculator::SetFileDialogHandler(
            [this](QWidget*, const calculator::FileDialogRequest& request)
                -> std::optional<calculator::FileChoice> {
                requests.push_back(request);
                if (answers.empty())
                    return std::nullopt;
                const calculator::FileChoice answer = answers.front();
                answers.pop_front();
                if (answer.path.isEmpty())
                    return std::nullopt;
                return answer;
            });
    }
    ~FileDialogAnswer() { calculator::SetFileDialogHandler(std::move(previous_)); }
    FileDialogAnswer(const FileDialogAnswer&) = delete;
    FileDialogAnswer& operator=(const FileDialogAnswer&) = delete;

    std::deque<calculator::FileChoice> answers;
    std::vector<calculator::FileDialogRequest> requests;

private:
    calculator::FileDialogHandler previous_;
};
