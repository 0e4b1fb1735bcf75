#include "fixture.h"

#include <QMenu>

using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using uimain::Finestra;
using uimain::frmMain;

namespace {

TEST_F(MainWindowTest, HeaderRowOffersNothing)
{
    frmMain w;
    w.Opzioni[0]->setText("&Elimina");
    bool mostra = true;
    w.ImpostaMenuContesto(0, 3, mostra);
    EXPECT_FALSE(mostra);
    EXPECT_EQ(w.Comandi, QStringList{""});
    EXPECT_TRUE(w.Opzioni[0]->isVisible());
    EXPECT_EQ(w.Opzioni[0]->text(), "&Elimina");
    for (int i = 1; i < 6; ++i)
        EXPECT_FALSE(w.Opzioni[i]->isVisible()) << i;
}

TEST_F(MainWindowTest, CommandsNotActiveSaySo)
{
    frmMain w;
    for (const char *keyword : {"DETTAGLICORBEX", "RIPRODUCICORBEXEDI", "ARCHIVIASTORICO", "STAMPADOC"}) {
        w.Comandi = QStringList{keyword};
        w.Opzioni_Click(0);
    }
    ASSERT_EQ(shown().size(), 4u);
    for (const Message &m : shown())
        EXPECT_EQ(m, (Message{"L'opzione selezionata non e' attiva in questa versione.", "Corbix doganali",
                              MsgIcon::Information, MsgButtons::OK, 1}));
    EXPECT_TRUE(factory_.calls.empty());
}

}  // namespace
