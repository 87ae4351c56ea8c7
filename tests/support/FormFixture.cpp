#include "tests/support/FormFixture.h"

void FormFixture::MakeForm(FileSystem* fileSystem, const QString& programFolder)
{
    FileSystem& chosen = fileSystem ? *fileSystem : posixFileSystem;
    form = std::make_unique<Form1>(Seams{chosen, dialogs, shell, pump}, programFolder);
    form->SetRandomSource([] { return 0.5; });
    form->Form_Load();
}
