<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>AboutDlg</name>
    <message>
        <location filename="../AboutDlg.ui" line="+14"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;vextora&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;vextora&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Kestrelsweep</source>
        <translation>Kestrelsweep</translation>
    </message>
    <message>
        <location line="+4"/>
        <location filename="../AboutDlg.cpp" line="+16"/>
        <source>Version </source>
        <translation>Version </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-size:13px; font-weight:400; font-style:normal;&quot;&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Kestrelsweep is an application that can uninstall application and all related files clean on Mac. &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;It is easy to use Just select the application name you want to remove in the window. And then click the Remove button.Also you can search the application you with keyword, this can make you select the application quickly. &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;To learn more, please visit &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;%s&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;Vextora Homepage &lt;/span&gt;&lt;/a&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;%s&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;Product Overview&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-size:13px; font-weight:400; font-style:normal;&quot;&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Kestrelsweep est une application qui désinstalle proprement les applications et tous leurs fichiers associés sur Mac. &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Son utilisation est simple : sélectionnez dans la fenêtre l&apos;application à supprimer, puis cliquez sur le bouton Supprimer. Vous pouvez aussi rechercher l&apos;application par mot-clé pour la sélectionner rapidement. &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Pour en savoir plus, rendez-vous sur &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;%s&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;Site de Vextora &lt;/span&gt;&lt;/a&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;%s&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;Présentation du produit&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Copyright © 2026 vextora. All rights reserved.</source>
        <translation>Copyright © 2026 vextora. Tous droits réservés.</translation>
    </message>
</context>
<context>
    <name>CheckUpdate</name>
    <message>
        <location filename="../../update/CheckUpdate.cpp" line="+115"/>
        <source>Checking Update...</source>
        <translation>Recherche de mise à jour...</translation>
    </message>
    <message>
        <location line="+105"/>
        <source>Network Error!</source>
        <translation>Erreur réseau !</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Please check again later.</source>
        <translation>Veuillez réessayer plus tard.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>You&apos;are up to date</source>
        <translation>Vous êtes à jour</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> is currently the newest version available!</source>
        <translation> est la version la plus récente disponible !</translation>
    </message>
    <message>
        <location line="-25"/>
        <source>The version </source>
        <translation>La version </translation>
    </message>
    <message>
        <location line="+0"/>
        <source> is available. <byte value="xd"/>
</source>
        <translation> est disponible. <byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>CrashDlg</name>
    <message>
        <location filename="../../crash/CrashDlg.cpp" line="+34"/>
        <source> Crash Reporter</source>
        <translation> – Rapport de plantage</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>No crash report was found, so nothing was sent.</source>
        <translation>Aucun rapport de plantage n&apos;a été trouvé ; rien n&apos;a donc été envoyé.</translation>
    </message>
    <message>
        <location filename="../../crash/CrashDlg.ui" line="+53"/>
        <source>Kestrelsweep Crash Reporter</source>
        <translation>Rapport de plantage de Kestrelsweep</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&lt;p&gt;We are sorry!&lt;/p&gt;&lt;p&gt;&lt;/p&gt;&lt;p&gt;Kestrelsweep had a problem and crashed. To help us diagnose and fix the problem, you can send us a crash report.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Nous sommes désolés !&lt;/p&gt;&lt;p&gt;&lt;/p&gt;&lt;p&gt;Kestrelsweep a rencontré un problème et s&apos;est arrêté. Pour nous aider à diagnostiquer et corriger le problème, vous pouvez nous envoyer un rapport de plantage.&lt;/p&gt;</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Ignore</source>
        <translation>Ignorer</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Send and Reopen</source>
        <translation>Envoyer et rouvrir</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <location filename="../../crash/CrashDlg.cpp" line="+76"/>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>We are sorry!</source>
        <translation type="vanished">Nous sommes désolés !</translation>
    </message>
    <message>
        <source>Kestrelsweep had a problem and crashed. To help us diagnose and fix the problem, you can send us a crash report.</source>
        <translation type="vanished">Kestrelsweep a rencontré un problème et s&apos;est arrêté. Pour nous aider à diagnostiquer et corriger le problème, vous pouvez nous envoyer un rapport de plantage.</translation>
    </message>
    <message>
        <location line="-46"/>
        <source>Thank you, we will fix the bug as soon as possible!</source>
        <translation>Merci ! Nous corrigerons le problème dès que possible.</translation>
    </message>
</context>
<context>
    <name>DownloadDlg</name>
    <message>
        <location filename="../../update/DownloadDlg.ui" line="+6"/>
        <source>Updating Kestrelsweep</source>
        <translation>Mise à jour de Kestrelsweep</translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.cpp" line="+41"/>
        <location line="+118"/>
        <source>Update </source>
        <translation>Mise à jour de </translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.ui" line="+22"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <location line="-13"/>
        <source>Downloading update ...</source>
        <translation>Téléchargement de la mise à jour...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Install and relaunch</source>
        <translation>Installer et relancer</translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.cpp" line="-17"/>
        <source>Ready to install</source>
        <translation>Prêt à installer</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Installing ...</source>
        <translation>Installation...</translation>
    </message>
    <message>
        <location line="-8"/>
        <location line="+30"/>
        <source>Update Error</source>
        <translation>Erreur de mise à jour</translation>
    </message>
    <message>
        <location line="-29"/>
        <source>An error ocured while downloading the update. Please try again later.</source>
        <translation>Une erreur s&apos;est produite lors du téléchargement de la mise à jour. Veuillez réessayer plus tard.</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>The update could not be installed. Please try again later.</source>
        <translation>La mise à jour n&apos;a pas pu être installée. Veuillez réessayer plus tard.</translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.cpp"/>
        <source>The update could not be installed automatically. The disk image has been opened so that you can install it yourself.</source>
        <translation>La mise à jour n&apos;a pas pu être installée automatiquement. L&apos;image disque a été ouverte pour que vous puissiez l&apos;installer vous-même.</translation>
    </message>
</context>
<context>
    <name>ItemWidget</name>
    <message>
        <location filename="../ItemWidget.cpp" line="+94"/>
        <source>Calculate...</source>
        <translation>Calcul...</translation>
    </message>
    <message numerus="yes">
        <location line="+0"/>
        <source>%n item(s)</source>
        <translation>
            <numerusform>%n élément</numerusform>
            <numerusform>%n éléments</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ListWidget</name>
    <message>
        <location filename="../ListWidget.ui" line="+19"/>
        <location filename="../ListWidget.cpp" line="+241"/>
        <source>Loading ...</source>
        <translation>Chargement...</translation>
    </message>
    <message>
        <location filename="../ListWidget.cpp" line="+0"/>
        <source>None</source>
        <translation>Aucun</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <location filename="../MainWidget.ui" line="+118"/>
        <source> Remove </source>
        <translation> Supprimer </translation>
    </message>
    <message numerus="yes">
        <location filename="../MainWidget.cpp" line="+93"/>
        <source>%1 removed: %n item(s), %2 freed</source>
        <translation>
            <numerusform>%1 supprimé : %n élément, %2 libérés</numerusform>
            <numerusform>%1 supprimé : %n éléments, %2 libérés</numerusform>
        </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Leftovers</source>
        <translation>Restes</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../MainWindow.cpp" line="+71"/>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>&amp;About</source>
        <translation>À &amp;propos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Preferences</source>
        <translation>&amp;Préférences</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Online Help</source>
        <translation>Aide en &amp;ligne</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Checking for updates</source>
        <translation>&amp;Rechercher des mises à jour</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>Online Help</source>
        <translation>Aide en ligne</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The online help could not be opened in a web browser. Its address is:
%1</source>
        <translation>Impossible d&apos;ouvrir l&apos;aide en ligne dans un navigateur web. Son adresse est :
%1</translation>
    </message>
    <message>
        <location filename="../../shell/MainWindow.cpp"/>
        <source>Not an item to remove</source>
        <translation>Aucun élément à supprimer</translation>
    </message>
    <message>
        <location filename="../../shell/MainWindow.cpp"/>
        <source>Drop one application, widget, plug-in or preference pane here to remove it.</source>
        <translation>Déposez ici une application, un widget, un plug-in ou une sous-fenêtre de préférences pour le supprimer.</translation>
    </message>
</context>
<context>
    <name>MsgDlg</name>
    <message>
        <location filename="../MsgDlg.ui" line="+15"/>
        <source>Title:</source>
        <translation>Titre :</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>PreferencesDlg</name>
    <message>
        <location filename="../PreferencesDlg.ui" line="+14"/>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Keep apple application safe</source>
        <translation>Protéger les applications Apple</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;This will hide all apple applications in application list and warn you when you attempt to uninstall one.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;Masque toutes les applications Apple dans la liste et vous avertit si vous tentez d&apos;en désinstaller une.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Play sound effect</source>
        <translation>Jouer un effet sonore</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;Turn this off will disable sound effect that play when uninstalling application.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;Désactivé, aucun son n&apos;est joué lors de la désinstallation d&apos;une application.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Check for updates automatically</source>
        <translation>Vérifier automatiquement</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Check Now</source>
        <translation>Vérifier</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Update to beta version automatically</source>
        <translation>Installer aussi les versions bêta</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Last Update:</source>
        <translation>Dernière mise à jour :</translation>
    </message>
</context>
<context>
    <name>ProgressDlg</name>
    <message>
        <location filename="../ProgressDlg.ui" line="+6"/>
        <source>Updating Kestrelsweep</source>
        <translation>Mise à jour de Kestrelsweep</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Checking for updates...</source>
        <translation>Recherche de mises à jour...</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>RemoveWidget</name>
    <message>
        <location filename="../../removal/RemoveWidget.ui" line="+59"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Remove</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp" line="+398"/>
        <source>Remove </source>
        <translation>Supprimer </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Are you sure to remove </source>
        <translation>Voulez-vous vraiment supprimer </translation>
    </message>
    <message>
        <location line="+0"/>
        <source> ?</source>
        <translation> ?</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>Remove App</source>
        <translation>Supprimer l&apos;application</translation>
    </message>
    <message>
        <location line="-75"/>
        <source>Nothing will be removed</source>
        <translation>Rien ne sera supprimé</translation>
    </message>
    <message numerus="yes">
        <location line="+4"/>
        <source>%1: %n item(s), %2 will be removed</source>
        <translation>
            <numerusform>%1 : %n élément (%2) sera supprimé</numerusform>
            <numerusform>%1 : %n éléments (%2) seront supprimés</numerusform>
        </translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Reveal in Finder</source>
        <translation>Afficher dans le Finder</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Removing ...</source>
        <translation>Suppression...</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp" line="+172"/>
        <location filename="../../removal/RemoveWidget.cpp" line="+12"/>
        <source>Some files could not be removed:</source>
        <translation>Certains fichiers n&apos;ont pas pu être supprimés :</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Waiting until every installed item has been found ...</source>
        <translation>En attente de la liste complète des éléments installés ...</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>These files cannot be handed to the Kestrelsweep helper, so nothing was removed.</source>
        <translation>Ces fichiers ne peuvent pas être transmis à l&apos;assistant de Kestrelsweep ; rien n&apos;a donc été supprimé.</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>Removing files outside your home folder needs an administrator account.</source>
        <translation>La suppression de fichiers situés hors de votre dossier de départ nécessite un compte administrateur.</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>Nothing was removed.</source>
        <translation>Rien n&apos;a été supprimé.</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>The Kestrelsweep helper is not running. Files outside your home folder can only be removed with its help, so nothing was removed.</source>
        <translation>L&apos;assistant de Kestrelsweep n&apos;est pas en cours d&apos;exécution. Les fichiers situés hors de votre dossier de départ ne peuvent être supprimés qu&apos;avec son aide ; rien n&apos;a donc été supprimé.</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is running</source>
        <translation>%1 est ouvert</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is running. Quit it before removing it?</source>
        <translation>%1 est ouvert. Le quitter avant de le supprimer ?</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Quit and Remove</source>
        <translation>Quitter et supprimer</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Waiting for %1 to quit ...</source>
        <translation>Attente de la fermeture de %1…</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 did not quit</source>
        <translation>%1 ne s’est pas fermé</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is still running. Force it to quit? Its unsaved changes will be lost.</source>
        <translation>%1 est toujours ouvert. Forcer sa fermeture ? Les modifications non enregistrées seront perdues.</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Force Quit</source>
        <translation>Forcer à quitter</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is still running, so nothing was removed.</source>
        <translation>%1 est toujours ouvert, rien n’a donc été supprimé.</translation>
    </message>
</context>
<context>
    <name>ResultDlg</name>
    <message>
        <location filename="../../update/ResultDlg.ui" line="+6"/>
        <source>Software Update</source>
        <translation>Mise à jour de logiciels</translation>
    </message>
    <message>
        <location filename="../../update/ResultDlg.cpp" line="+14"/>
        <source>Update </source>
        <translation>Mise à jour de </translation>
    </message>
    <message>
        <location filename="../../update/ResultDlg.ui" line="+54"/>
        <source>Skip This Version</source>
        <translation>Ignorer cette version</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Remind Later</source>
        <translation>Me rappeler plus tard</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Install Update</source>
        <translation>Installer la mise à jour</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>Release Notes:</source>
        <translation>Notes de version :</translation>
    </message>
    <message>
        <location line="-14"/>
        <source>Version Title</source>
        <translation>Titre de la version</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Version Information</source>
        <translation>Informations sur la version</translation>
    </message>
</context>
<context>
    <name>SearchEdit</name>
    <message>
        <location filename="../SearchEdit.ui" line="+15"/>
        <source>Search</source>
        <translation>Rechercher</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../../main.cpp" line="+14"/>
        <source>Kestrelsweep cannot start: the path of one of its folders is missing or too long.</source>
        <translation>Kestrelsweep ne peut pas démarrer : le chemin de l&apos;un de ses dossiers est manquant ou trop long.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Run &quot;%1 --help&quot; for the usage.</source>
        <translation>Lancez « %1 --help » pour l&apos;utilisation.</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>%1 cannot be combined with %2</source>
        <translation>%1 ne peut pas être combiné avec %2</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>unknown option: %1</source>
        <translation>option inconnue : %1</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>%1 is not an option of %2</source>
        <translation>%1 n&apos;est pas une option de %2</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>unexpected argument: %1</source>
        <translation>argument inattendu : %1</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>%1 needs the path of an item</source>
        <translation>%1 demande le chemin d&apos;un élément</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>no command given: --list, --files, --remove, --leftovers or --help</source>
        <translation>aucune commande indiquée : --list, --files, --remove, --leftovers ou --help</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>not an item bundle (a .app, .wdgt, .plugin, .webplugin or .prefPane folder): %1</source>
        <translation>pas le paquet d&apos;un élément (un dossier .app, .wdgt, .plugin, .webplugin ou .prefPane) : %1</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Usage:
  %1 --list [--json]
  %1 --files PATH [--json]
  %1 --remove PATH [--dry-run] [--yes]
  %1 --leftovers [--json]
  %1 --help

  --list      lists the installed applications, widgets, plug-ins and preference panes
  --files     lists the files that belong to the item at PATH; [x] marks those
              removed by default
  --remove    removes the item at PATH and its files marked [x]; asks first
  --leftovers lists what applications deleted long ago left behind
  --dry-run   removes nothing, only prints what --remove would remove
  --yes       removes without asking
  --json      prints JSON (sizes in KiB)

PATH is an item bundle: a .app, .wdgt, .plugin, .webplugin or .prefPane folder.
Exit status: 0 when everything went, 1 when something is left or was not removed,
2 for a wrong command line.
</source>
        <translation>Utilisation:
  %1 --list [--json]
  %1 --files CHEMIN [--json]
  %1 --remove CHEMIN [--dry-run] [--yes]
  %1 --leftovers [--json]
  %1 --help

  --list      liste les applications, widgets, modules et panneaux de préférences installés
  --files     liste les fichiers de l&apos;élément situé à CHEMIN ; [x] marque ceux
              supprimés par défaut
  --remove    supprime l&apos;élément situé à CHEMIN et ses fichiers marqués [x] ; demande d&apos;abord
  --leftovers liste ce que des applications supprimées depuis longtemps ont laissé
  --dry-run   ne supprime rien, affiche seulement ce que --remove supprimerait
  --yes       supprime sans demander
  --json      affiche du JSON (tailles en Kio)

CHEMIN est le paquet d&apos;un élément : un dossier .app, .wdgt, .plugin, .webplugin ou .prefPane.
Code de sortie : 0 si tout a été supprimé, 1 si quelque chose reste ou n&apos;a pas été supprimé,
2 pour une ligne de commande incorrecte.
</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Kind</source>
        <translation>Type</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Identifier</source>
        <translation>Identifiant</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Path</source>
        <translation>Chemin</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Application</source>
        <translation>Application</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Widget</source>
        <translation>Widget</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Plug-in</source>
        <translation>Module</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Preference pane</source>
        <translation>Panneau de préférences</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Related files of %1 ([x]: removed by default):</source>
        <translation>Fichiers liés à %1 ([x] : supprimé par défaut) :</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Files that would be removed: %1 (%2)</source>
        <translation>Fichiers qui seraient supprimés : %1 (%2)</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Files to remove: %1 (%2)</source>
        <translation>Fichiers à supprimer : %1 (%2)</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Files removed: %1 (%2)</source>
        <translation>Fichiers supprimés : %1 (%2)</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Remove them? [y/N] </source>
        <translation>Les supprimer ? [o/N] </translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>y</source>
        <translation>o</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>yes</source>
        <translation>oui</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>No leftovers found.</source>
        <translation>Aucun reste trouvé.</translation>
    </message>
</context>
</TS>
