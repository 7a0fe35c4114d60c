// kestro-cli's bash completion, called as bash calls it when Tab is pressed.

#include "support/CatalogFixture.h"

using namespace kestro;

namespace {

class CliCompletion : public test::CatalogFixture {
protected:
    void SetUp() override {
        catalogAs("one", "Disk one", 'Z');
        catalogAs("two", "Disk \"two\"", 'Y');
        catalogAs("three", "Other", 'X');
    }

    // What Tab offers after `words`, the last of which is the word being
    // completed, as typed (quotes and all).
    QStringList complete(const QStringList& words) const {
        // compopt sets how readline shows the offers; there is no readline here.
        const QString script = "source /usr/share/bash-completion/bash_completion\n"
                               "source " KESTRO_COMPLETION_FILE "\n"
                               "compopt() { :; }\n"
                               "COMP_WORDS=(\"$@\") COMP_CWORD=$(($# - 1)) COMP_LINE=\"$*\"\n"
                               "COMP_POINT=${#COMP_LINE}\n"
                               "_kestro_cli\n"
                               "printf '%s\\n' \"${COMPREPLY[@]}\"\n";
        const test::ProgramRun bash =
            test::runProgram("bash", QStringList{"-c", script, "bash", KESTRO_CLI} + words);
        EXPECT_EQ(bash.err, "");
        QStringList offers = bash.out.split('\n', Qt::SkipEmptyParts);
        offers.sort();
        return offers;
    }
};

} // namespace

TEST_F(CliCompletion, CommandsOptionsFieldsFilesAndTheCatalogsVolumeNames) {
    const QString catalog = catalogPath, folder = home.path();
    const std::pair<QStringList, QStringList> cases[] = {
        {{"s"}, {"search", "sweep"}},
        {{"--catalog", "x.mdb", "s"}, {"search", "sweep"}},
        {{"search", "--european", "--vo"}, {"--volume"}},
        {{"export", "--fields", "name,s"}, {"name,size"}},
        {{"new", home.filePath("c.m")}, {catalog}},
        {{"search", "--catalog", catalog, "--home", folder, "--volume", "Disk"},
         {"Disk \"two\"", "Disk one"}},
        {{"ls", "--catalog", catalog, "--home", folder, "'Disk \"t"}, {"Disk \"two\""}},
        {{"--home=" + folder, "--catalog", "'" + catalog + "'", "ls", "O"}, {"Other"}},
        {{"ls", "--catalog", catalog, "--home", folder, "Other", "D"}, {}},
    };
    for (const auto& [words, offers] : cases)
        EXPECT_EQ(complete(words), offers) << words.join(' ').toStdString();
}
