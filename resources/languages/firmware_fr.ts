<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>DFUConnectForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Connect the Micro USB cable to the LINK and the other end to the Dongle, please.&lt;/p&gt;&lt;p&gt;Press the &lt;span style=&quot; font-weight:600;&quot;&gt;Connect&lt;/span&gt; button when you are done.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Veuillez brancher le câble Micro USB sur le LINK et son autre extrémité sur le dongle.&lt;/p&gt;&lt;p&gt;Appuyez ensuite sur le bouton &lt;span style=&quot; font-weight:600;&quot;&gt;Connecter&lt;/span&gt;.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>DFUFailedForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>Firmware update failed</source>
        <translation>La mise à jour du micrologiciel a échoué</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Remove the dongle, than disconnect the cable of the Link from the dongle.&lt;/p&gt;&lt;p&gt;Re-connect the Dongle to the computer to leave firmware update mode.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Retirez le dongle, puis débranchez le câble du LINK du dongle.&lt;/p&gt;&lt;p&gt;Rebranchez le dongle sur l’ordinateur pour quitter le mode de mise à jour.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>DFUGetFirmwareForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Now you can select which firmware do you want to use.&lt;/p&gt;&lt;p&gt;After the selection is made the &lt;span style=&quot; font-weight:600;&quot;&gt;Upload &lt;/span&gt;button will be available.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Vous pouvez maintenant choisir le micrologiciel à utiliser.&lt;/p&gt;&lt;p&gt;Une fois le choix fait, le bouton &lt;span style=&quot; font-weight:600;&quot;&gt;Téléverser &lt;/span&gt;sera disponible.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Currrent Version:</source>
        <translation>Version actuelle :</translation>
    </message>
    <message>
        <source>XX.YY.ZZ</source>
        <translation>XX.YY.ZZ</translation>
    </message>
    <message>
        <source>Online version:</source>
        <translation>Version en ligne :</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Télécharger</translation>
    </message>
    <message>
        <source>Not connected to the internet</source>
        <translation>Pas de connexion à Internet</translation>
    </message>
    <message>
        <source>estimated time:</source>
        <translation>temps estimé :</translation>
    </message>
    <message>
        <source>less then 1 minute</source>
        <translation>moins d’une minute</translation>
    </message>
    <message>
        <source>Use already donwloaded or custom firmware</source>
        <translation>Utiliser un micrologiciel déjà téléchargé ou personnel</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Parcourir</translation>
    </message>
</context>
<context>
    <name>DFUSucceededForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>Firmware update succeeded</source>
        <translation>La mise à jour du micrologiciel a réussi</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;The firmware update completed, follow the instructions below.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;La mise à jour du micrologiciel est terminée, suivez les instructions ci-dessous.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Remove the dongle, than disconnect the cable of the Link from the dongle.&lt;/p&gt;&lt;p&gt;Re-connect the Dongle to the computer to leave firmware update mode.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Retirez le dongle, puis débranchez le câble du LINK du dongle.&lt;/p&gt;&lt;p&gt;Rebranchez le dongle sur l’ordinateur pour quitter le mode de mise à jour.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>DFUUploadForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Upload in progress&lt;/p&gt;&lt;p&gt;When the upload is finished the &lt;span style=&quot; font-weight:600;&quot;&gt;Finish&lt;/span&gt; button will be available&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Téléversement en cours&lt;/p&gt;&lt;p&gt;Lorsque le téléversement sera terminé, le bouton &lt;span style=&quot; font-weight:600;&quot;&gt;Terminer&lt;/span&gt; sera disponible&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Upload in progress</source>
        <translation>Téléversement en cours</translation>
    </message>
    <message>
        <source>estimated time:</source>
        <translation>temps estimé :</translation>
    </message>
    <message>
        <source>less then a minute</source>
        <translation>moins d’une minute</translation>
    </message>
</context>
<context>
    <name>DFUWelcomeForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:18pt; font-weight:600;&quot;&gt;Welcome to the firmware update process! &lt;/span&gt;&lt;/p&gt;&lt;p&gt;We will guide you through the LINK firmware update, please note the following ... &lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:18pt; font-weight:600;&quot;&gt;Bienvenue dans la mise à jour du micrologiciel ! &lt;/span&gt;&lt;/p&gt;&lt;p&gt;Nous allons vous guider pas à pas dans la mise à jour du micrologiciel du LINK. Veuillez noter ce qui suit… &lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Do not start firmware update process without assistance!&lt;/span&gt;&lt;/p&gt;&lt;p&gt;At the end of the process you will have to remove the dongle from the computer to leave firmware update mode.&lt;/p&gt;&lt;p&gt;Connect your chair to the power source.&lt;/p&gt;&lt;p&gt;Do not turn off the LINK during firmware update.&lt;/p&gt;&lt;p&gt;If you would like to start firmware update now, press the &lt;span style=&quot; font-weight:600;&quot;&gt;Continue&lt;/span&gt; button, otherwise just leave this screen.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Ne commencez pas la mise à jour du micrologiciel sans assistance !&lt;/span&gt;&lt;/p&gt;&lt;p&gt;À la fin de la mise à jour, vous devrez retirer le dongle de l’ordinateur pour quitter le mode de mise à jour.&lt;/p&gt;&lt;p&gt;Branchez votre fauteuil sur sa source d’alimentation.&lt;/p&gt;&lt;p&gt;N’éteignez pas le LINK pendant la mise à jour du micrologiciel.&lt;/p&gt;&lt;p&gt;Pour commencer la mise à jour maintenant, appuyez sur le bouton &lt;span style=&quot; font-weight:600;&quot;&gt;Continuer&lt;/span&gt;, sinon quittez simplement cet écran.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>OX::DFUConnectForm</name>
    <message>
        <source>Connect</source>
        <translation>Connecter</translation>
    </message>
    <message>
        <source>Get Version</source>
        <translation>Lecture de la version</translation>
    </message>
    <message>
        <source>GET service mode state</source>
        <translation>Lecture de l’état du mode service</translation>
    </message>
    <message>
        <source>Connect to link failed</source>
        <translation>Échec de la connexion au LINK</translation>
    </message>
    <message>
        <source>Link error</source>
        <translation>Erreur du LINK</translation>
    </message>
    <message>
        <source>Please put the link to service mode</source>
        <translation>Veuillez mettre le LINK en mode service</translation>
    </message>
    <message>
        <source>Connect to link done</source>
        <translation>Connexion au LINK terminée</translation>
    </message>
    <message>
        <source>Dongle not connected or lost.</source>
        <translation>Dongle non connecté ou perdu.</translation>
    </message>
    <message>
        <source>Link not found. Would you like to start the recovery mode?</source>
        <translation>LINK introuvable. Voulez-vous lancer le mode de récupération ?</translation>
    </message>
    <message>
        <source>Link not found</source>
        <translation>LINK introuvable</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>Dismiss and Leave page</source>
        <translation>Ignorer et quitter la page</translation>
    </message>
    <message>
        <source>Unable to communicate with the link.</source>
        <translation>Impossible de communiquer avec le LINK.</translation>
    </message>
</context>
<context>
    <name>OX::DFUFailedForm</name>
    <message>
        <source>Failed</source>
        <translation>Échec</translation>
    </message>
</context>
<context>
    <name>OX::DFUGetFirmwareForm</name>
    <message>
        <source>Select firmware</source>
        <translation>Choix du micrologiciel</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Inconnue</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Téléverser</translation>
    </message>
    <message>
        <source>Checking internet connection</source>
        <translation>Vérification de la connexion à Internet</translation>
    </message>
    <message>
        <source>No update service is set</source>
        <translation>Aucun service de mise à jour n’est configuré</translation>
    </message>
    <message>
        <source>The update service cannot be reached</source>
        <translation>Le service de mise à jour est injoignable</translation>
    </message>
    <message>
        <source>Unable to write Application folder.</source>
        <translation>Impossible d’écrire dans le dossier de l’application.</translation>
    </message>
    <message>
        <source>Checking available firmware</source>
        <translation>Recherche du micrologiciel disponible</translation>
    </message>
    <message>
        <source>Error during firmware version check</source>
        <translation>Erreur lors de la vérification de la version du micrologiciel</translation>
    </message>
    <message>
        <source>New Link firmware available</source>
        <translation>Nouveau micrologiciel du LINK disponible</translation>
    </message>
    <message>
        <source>There is no new Link firmware available</source>
        <translation>Aucun nouveau micrologiciel du LINK n’est disponible</translation>
    </message>
    <message>
        <source>Downloading firmware</source>
        <translation>Téléchargement du micrologiciel</translation>
    </message>
    <message>
        <source>Error during firmware download</source>
        <translation>Erreur lors du téléchargement du micrologiciel</translation>
    </message>
    <message>
        <source>New firmware succesfull downloaded</source>
        <translation>Nouveau micrologiciel téléchargé avec succès</translation>
    </message>
    <message>
        <source>New firmware downloaded into the list; the firmware chosen there stays chosen</source>
        <translation>Nouveau micrologiciel téléchargé dans la liste ; le micrologiciel choisi dans la liste reste choisi</translation>
    </message>
    <message>
        <source>%1 is not a LINK firmware file (*.enc).</source>
        <translation>%1 n’est pas un fichier de micrologiciel de LINK (*.enc).</translation>
    </message>
    <message>
        <source>The firmware downloaded is not the version offered; download it again</source>
        <translation>Le micrologiciel téléchargé n’est pas la version proposée ; téléchargez-le à nouveau</translation>
    </message>
    <message>
        <source>Firmware file</source>
        <translation>Fichier de micrologiciel</translation>
    </message>
    <message>
        <source>The firmware folder already holds a different file named %1. Rename your file and select it again.</source>
        <translation>Le dossier des micrologiciels contient déjà un autre fichier nommé %1. Renommez votre fichier et choisissez-le à nouveau.</translation>
    </message>
    <message>
        <source>Unable to copy %1 into the firmware folder.</source>
        <translation>Impossible de copier %1 dans le dossier des micrologiciels.</translation>
    </message>
    <message>
        <source>Dongle not connected or lost.</source>
        <translation>Dongle non connecté ou perdu.</translation>
    </message>
    <message>
        <source>Unable to start Link bootloader.</source>
        <translation>Impossible de démarrer le chargeur d’amorçage du LINK.</translation>
    </message>
</context>
<context>
    <name>OX::DFURecoveryForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-size:18pt; font-weight:600;&quot;&gt;Dead link recovery mode &lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-size:18pt; font-weight:600;&quot;&gt;Mode de récupération d’un LINK inactif &lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Recovery mode</source>
        <translation>Mode de récupération</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Continuer</translation>
    </message>
</context>
<context>
    <name>OX::DFUSender</name>
    <message>
        <source>Dongle not connected or lost.</source>
        <translation>Dongle non connecté ou perdu.</translation>
    </message>
    <message>
        <source>Dongle error, could not start Xmodem.</source>
        <translation>Erreur du dongle, impossible de démarrer Xmodem.</translation>
    </message>
</context>
<context>
    <name>OX::DFUSucceededForm</name>
    <message>
        <source>Succeeded</source>
        <translation>Réussite</translation>
    </message>
</context>
<context>
    <name>OX::DFUUploadForm</name>
    <message>
        <source>Upload</source>
        <translation>Téléverser</translation>
    </message>
    <message>
        <source>Finish</source>
        <translation>Terminer</translation>
    </message>
    <message>
        <source>Waiting for link to start bootloader</source>
        <translation>En attente du démarrage du chargeur d’amorçage du LINK</translation>
    </message>
    <message>
        <source>Updating firmware</source>
        <translation>Mise à jour du micrologiciel</translation>
    </message>
    <message>
        <source>Link firmware upload failed.</source>
        <translation>Le téléversement du micrologiciel du LINK a échoué.</translation>
    </message>
    <message>
        <source>The LINK was left half-written and does not start its firmware: update it again in recovery mode.</source>
        <translation>Le LINK est resté à moitié écrit et ne démarre pas son micrologiciel : mettez-le à jour à nouveau en mode de récupération.</translation>
    </message>
    <message>
        <source>Upload finished</source>
        <translation>Téléversement terminé</translation>
    </message>
    <message>
        <source>Link firmware upload failed, waiting for start bootloader timed out.</source>
        <translation>Le téléversement du micrologiciel du LINK a échoué : le chargeur d’amorçage n’a pas démarré à temps.</translation>
    </message>
    <message>
        <source>The upload was stopped. The LINK was left half-written and does not start its firmware: update it again in recovery mode.</source>
        <translation>Le téléversement a été arrêté. Le LINK est resté à moitié écrit et ne démarre pas son micrologiciel : mettez-le à jour à nouveau en mode de récupération.</translation>
    </message>
    <message>
        <source>Firmware update</source>
        <translation>Mise à jour du micrologiciel</translation>
    </message>
    <message>
        <source>The firmware upload did not complete. The LINK was left half-written and does not start its firmware: connect the dongle and the LINK again, then update it in recovery mode.</source>
        <translation>Le téléversement du micrologiciel ne s’est pas terminé. Le LINK est resté à moitié écrit et ne démarre pas son micrologiciel : reconnectez le dongle et le LINK, puis mettez-le à jour en mode de récupération.</translation>
    </message>
    <message>
        <source>Firmware update succeeded</source>
        <translation>La mise à jour du micrologiciel a réussi</translation>
    </message>
    <message>
        <source>The LINK firmware was updated. Remove the dongle, then disconnect the cable of the LINK from the dongle. Connect the dongle again to leave firmware update mode.</source>
        <translation>Le micrologiciel du LINK a été mis à jour. Retirez le dongle, puis débranchez le câble du LINK du dongle. Reconnectez le dongle pour quitter le mode de mise à jour du micrologiciel.</translation>
    </message>
</context>
<context>
    <name>OX::DFUWelcomeForm</name>
    <message>
        <source>Continue</source>
        <translation>Continuer</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>Bienvenue</translation>
    </message>
    <message>
        <source>Dongle not connected or lost.</source>
        <translation>Dongle non connecté ou perdu.</translation>
    </message>
    <message>
        <source>Unable to enter firmware update mode.</source>
        <translation>Impossible de passer en mode de mise à jour du micrologiciel.</translation>
    </message>
</context>
<context>
    <name>OX::FirmwarePage</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>Placeholder</source>
        <translation>Espace réservé</translation>
    </message>
    <message>
        <source>Prev</source>
        <translation>Précédent</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Suivant</translation>
    </message>
    <message>
        <source>Firmware update</source>
        <translation>Mise à jour du micrologiciel</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <source>The dongle was lost during the upload. The LINK was left half-written and does not start its firmware: connect the dongle and the LINK again, then update it in recovery mode.</source>
        <translation>Le dongle a été perdu pendant le téléversement. Le LINK est resté à moitié écrit et ne démarre pas son micrologiciel : reconnectez le dongle et le LINK, puis mettez-le à jour en mode de récupération.</translation>
    </message>
    <message>
        <source>The firmware upload is still running. Do you want to stop it?</source>
        <translation>Le téléversement du micrologiciel est en cours. Voulez-vous l’arrêter ?</translation>
    </message>
    <message>
        <source>A stopped upload leaves the LINK half-written: it does not start its firmware until it is updated again in recovery mode.</source>
        <translation>Un téléversement arrêté laisse le LINK à moitié écrit : il ne démarre pas son micrologiciel tant qu’il n’est pas remis à jour en mode de récupération.</translation>
    </message>
    <message>
        <source>Continue upload</source>
        <translation>Poursuivre le téléversement</translation>
    </message>
    <message>
        <source>Stop upload</source>
        <translation>Arrêter le téléversement</translation>
    </message>
    <message>
        <source>A LINK firmware upload is running. Do you want to stop it and quit?</source>
        <translation>Un téléversement de micrologiciel LINK est en cours. Voulez-vous l’arrêter et quitter ?</translation>
    </message>
    <message>
        <source>Stop and quit</source>
        <translation>Arrêter et quitter</translation>
    </message>
</context>
<context>
    <name>OX::FirmwareImage</name>
    <message>
        <source>%1 does not exist.</source>
        <translation>%1 n’existe pas.</translation>
    </message>
    <message>
        <source>%1 is not a regular file and cannot be firmware.</source>
        <translation>%1 n’est pas un fichier ordinaire et ne peut pas être un micrologiciel.</translation>
    </message>
    <message>
        <source>%1 is empty: it is not firmware.</source>
        <translation>%1 est vide : ce n’est pas un micrologiciel.</translation>
    </message>
    <message>
        <source>%1 is larger than a LINK can hold (%2 KiB at most).</source>
        <translation>%1 est plus grand que ce qu’un LINK peut contenir (%2 Kio au plus).</translation>
    </message>
    <message>
        <source>%1 cannot be read.</source>
        <translation>%1 ne peut pas être lu.</translation>
    </message>
</context>
</TS>
