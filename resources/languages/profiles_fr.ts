<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>ProfilesPage</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>Select Control Mode:</source>
        <translation>Choisir le mode de commande :</translation>
    </message>
    <message>
        <source>Absolute</source>
        <translation>Absolu</translation>
    </message>
    <message>
        <source>Relative</source>
        <translation>Relatif</translation>
    </message>
    <message>
        <source>Single Keystroke</source>
        <translation>Touche unique</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Absolute&lt;/span&gt; mode allows for a smoother experience: the mouse is just there where you want it to be, based on the current position of your head. You don't even have to adjust the mouse position on the edges. You can only control the mouse on your primary screen in this mode.&lt;/p&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Relative&lt;/span&gt; mode provides the traditional head mouse experience where the cursor’s movements mimic the movement of your head.&lt;/p&gt;&lt;p&gt;In &lt;span style=" font-weight:600;"&gt;Single keystroke&lt;/span&gt; mode we enable you to use any assistance tools that support single keytroke to use your computer.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Absolu&lt;/span&gt; : un déplacement plus fluide ; la souris est là où vous le voulez, selon la position actuelle de votre tête. Inutile même de la recadrer aux bords. Dans ce mode, la souris ne se commande que sur l’écran principal.&lt;/p&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Relatif&lt;/span&gt; : l’expérience classique de la souris de tête, où les mouvements du curseur suivent ceux de votre tête.&lt;/p&gt;&lt;p&gt;En mode &lt;span style=" font-weight:600;"&gt;touche unique&lt;/span&gt;, vous pouvez utiliser tout outil d’assistance qui fonctionne avec une seule touche pour vous servir de votre ordinateur.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Set Center:</source>
        <translation>Centrage :</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automatique</translation>
    </message>
    <message>
        <source>Timer</source>
        <translation>Minuterie</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Automatic&lt;/span&gt;: When your head stays still for a significant amount of time, we will automatically do the setting of the center for you.&lt;/p&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Timer&lt;/span&gt;: On a short press of the headset button, you'll have a limited amount of time to move your head to the center. We'll do the counter for you.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Automatique&lt;/span&gt; : quand votre tête reste immobile assez longtemps, le centrage se fait automatiquement.&lt;/p&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Minuterie&lt;/span&gt; : après un appui bref sur le bouton du casque, vous disposez d’un temps limité pour amener votre tête au centre. Nous comptons pour vous.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Jump to center after:</source>
        <translation>Revenir au centre après :</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>s</translation>
    </message>
    <message>
        <source>Audio feedback (beep)</source>
        <translation>Signal sonore (bip)</translation>
    </message>
    <message>
        <source>Visual feedback (crosshair)</source>
        <translation>Signal visuel (réticule)</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>If you use any single keystrike accessibility tool like "Assistive Context-Aware Toolkit", you can easly control it with your headset. Blinking will activate your selected key.</source>
        <translation>Si vous utilisez un outil d’accessibilité à touche unique comme « Assistive Context-Aware Toolkit », vous pouvez le commander facilement avec votre casque. Un clignement des yeux active la touche choisie.</translation>
    </message>
    <message>
        <source>Press any keyboard button to assign</source>
        <translation>Appuyez sur une touche du clavier pour l’attribuer</translation>
    </message>
    <message>
        <source>Tremor Filter:</source>
        <translation>Filtre de tremblement :</translation>
    </message>
    <message>
        <source>Head Movement Ranges:</source>
        <translation>Amplitude des mouvements de tête :</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Set the range in which your head movements will be tracked.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Définissez l’amplitude dans laquelle les mouvements de votre tête sont suivis.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Horizontal:</source>
        <translation>Horizontale :</translation>
    </message>
    <message>
        <source>Vertical:</source>
        <translation>Verticale :</translation>
    </message>
    <message>
        <source>Autorange: allows you to extend the range by moving the cursor out of screen</source>
        <translation>Plage automatique : permet d’étendre l’amplitude en sortant le curseur de l’écran</translation>
    </message>
    <message>
        <source>Mouse Speed:</source>
        <translation>Vitesse de la souris :</translation>
    </message>
</context>
<context>
    <name>SecurityPage</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>Enter password</source>
        <translation>Saisir le mot de passe</translation>
    </message>
    <message>
        <source>Retype password</source>
        <translation>Confirmer le mot de passe</translation>
    </message>
    <message>
        <source>Set network password</source>
        <translation>Définir le mot de passe réseau</translation>
    </message>
</context>
<context>
    <name>OX::ProfilesPage</name>
    <message>
        <source>Press any keyboard button to assign</source>
        <translation>Appuyez sur une touche du clavier pour l’attribuer</translation>
    </message>
    <message>
        <source>Press the button to assign a keyboard button</source>
        <translation>Appuyez sur le bouton pour attribuer une touche du clavier</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
    <message>
        <source>Try It</source>
        <translation>Essayer</translation>
    </message>
    <message>
        <source>Mouse Profiles</source>
        <translation>Profils de souris</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <source>Test Profile</source>
        <translation>Essai du profil</translation>
    </message>
    <message>
        <source>Profile upload failed</source>
        <translation>L’envoi du profil a échoué</translation>
    </message>
    <message>
        <source>Apply Profile</source>
        <translation>Application du profil</translation>
    </message>
    <message>
        <source>Testing in progress</source>
        <translation>Essai en cours</translation>
    </message>
    <message>
        <source>Is it confortable? Do you want to keep changes?

After 30 seconds the settings will be reverted to the last state.</source>
        <translation>Est-ce confortable ? Voulez-vous garder les modifications ?

Après 30 secondes, les réglages précédents seront rétablis.</translation>
    </message>
    <message>
        <source>Testing Profile</source>
        <translation>Essai du profil</translation>
    </message>
    <message>
        <source>Revert profile failed</source>
        <translation>Le rétablissement du profil a échoué</translation>
    </message>
    <message>
        <source>Profile selected</source>
        <translation>Profil sélectionné</translation>
    </message>
    <message>
        <source>You have changes in your selected profile. Do you want to dismiss changes?</source>
        <translation>Le profil sélectionné a des modifications. Voulez-vous les abandonner ?</translation>
    </message>
    <message>
        <source>Dismiss changes</source>
        <translation>Abandonner les modifications</translation>
    </message>
    <message>
        <source>Stay on profile</source>
        <translation>Rester sur le profil</translation>
    </message>
    <message>
        <source>Create profile</source>
        <translation>Créer un profil</translation>
    </message>
    <message>
        <source>Delete profile</source>
        <translation>Supprimer le profil</translation>
    </message>
    <message>
        <source>Deleting "default" profile is not possible!</source>
        <translation>Impossible de supprimer le profil « default » !</translation>
    </message>
    <message>
        <source>Remove Profile</source>
        <translation>Suppression du profil</translation>
    </message>
    <message>
        <source>Select Profile</source>
        <translation>Sélection du profil</translation>
    </message>
    <message>
        <source>Profile selection failed</source>
        <translation>La sélection du profil a échoué</translation>
    </message>
    <message>
        <source>Rename profile</source>
        <translation>Renommer le profil</translation>
    </message>
    <message>
        <source>A profile needs a name.</source>
        <translation>Un profil doit avoir un nom.</translation>
    </message>
    <message>
        <source>A profile named "%1" already exists.</source>
        <translation>Un profil nommé « %1 » existe déjà.</translation>
    </message>
    <message>
        <source>The name "default" belongs to the default profile.</source>
        <translation>Le nom « default » appartient au profil par défaut.</translation>
    </message>
    <message>
        <source>The profile could not be renamed.</source>
        <translation>Le profil n’a pas pu être renommé.</translation>
    </message>
    <message>
        <source>Reset profile</source>
        <translation>Réinitialiser le profil</translation>
    </message>
    <message>
        <source>Leave mouse profile settings</source>
        <translation>Quitter les réglages du profil de souris</translation>
    </message>
    <message>
        <source>You have changes in your selected profile. Do you want to apply changes?</source>
        <translation>Le profil sélectionné a des modifications. Voulez-vous les appliquer ?</translation>
    </message>
    <message>
        <source>Stay on page</source>
        <translation>Rester sur la page</translation>
    </message>
    <message>
        <source>Dismiss and Leave page</source>
        <translation>Ignorer et quitter la page</translation>
    </message>
</context>
<context>
    <name>OX::SecurityPage</name>
    <message>
        <source>To be able to change your network password, please turn off your headset and turn it on while pushing the button. This will put it into service mode and make it appear as available on this screen.</source>
        <translation>Pour changer le mot de passe de votre réseau, éteignez votre casque puis rallumez-le en maintenant le bouton enfoncé. Il passera en mode service et apparaîtra comme disponible sur cet écran.</translation>
    </message>
    <message>
        <source>Now put your Link(s) on this network into service mode by pressing the Link’s button with a long press (3 seconds).</source>
        <translation>Mettez maintenant le ou les Link de ce réseau en mode service par un appui long (3 secondes) sur le bouton du Link.</translation>
    </message>
    <message>
        <source>Set the password for this Dongle OR if you want to change the password for your Headset on this network of devices, turn off your headset and turn it on while pushing the button. This will put it into service mode and make it appear as available on this screen.</source>
        <translation>Définissez le mot de passe de ce dongle OU, pour changer aussi celui de votre casque sur ce réseau d’appareils, éteignez votre casque puis rallumez-le en maintenant le bouton enfoncé. Il passera en mode service et apparaîtra comme disponible sur cet écran.</translation>
    </message>
    <message>
        <source>Set your new network password below.
Please note that if you have multiple Dongles in this network of devices, you have to repeat this process later on your other computer or by connecting them to Orvix Tools on this computer and applying the SAME password.</source>
        <translation>Saisissez ci-dessous votre nouveau mot de passe réseau.
Si ce réseau compte plusieurs dongles, vous devrez répéter l’opération plus tard sur votre autre ordinateur, ou en les branchant à Orvix Tools sur cet ordinateur, avec le MÊME mot de passe.</translation>
    </message>
    <message>
        <source>We were unable to set the password for some of the devices (please refer to the diagram). Restart the process by putting all your devices into service mode again. If the Dongle is one of them, please remove and reconnect it to start the process again.</source>
        <translation>Le mot de passe n’a pas pu être défini sur certains appareils (voir le schéma). Recommencez en remettant tous vos appareils en mode service. Si le dongle en fait partie, débranchez-le et rebranchez-le pour recommencer.</translation>
    </message>
    <message>
        <source>All passwords set. You can now leave the page. This will take all your devices out of service mode.
If you have multiple Dongles, don’t forget to set the password with your remaining Dongles by repeating this process on the other computers or by connecting the Dongles to this computer 1 by 1.</source>
        <translation>Tous les mots de passe sont définis. Vous pouvez quitter la page, ce qui sortira tous vos appareils du mode service.
Si vous avez plusieurs dongles, n’oubliez pas de définir le mot de passe des autres en répétant l’opération sur les autres ordinateurs ou en branchant les dongles un par un sur cet ordinateur.</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>Sécurité</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <source>Unable to enter service mode</source>
        <translation>Impossible de passer en mode service</translation>
    </message>
    <message>
        <source>Please remove the dongle, wait 10 seconds and insert it again!
It may redirect you to the previous page.</source>
        <translation>Retirez le dongle, attendez 10 secondes et rebranchez-le !
Vous serez peut-être renvoyé à la page précédente.</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Only letters, digits and signs without accents can be used, not “%1”.</source>
        <translation>Seuls des lettres, chiffres et signes sans accents peuvent être utilisés, pas « %1 ».</translation>
    </message>
    <message>
        <source>At most %1 characters; %2 are typed.</source>
        <translation>Au plus %1 caractères ; %2 sont saisis.</translation>
    </message>
    <message>
        <source>Spaces alone are no password.</source>
        <translation>Des espaces seuls ne font pas un mot de passe.</translation>
    </message>
    <message>
        <source>Setting the network password on the devices found. Please wait.</source>
        <translation>Le mot de passe réseau est en cours de définition sur les appareils trouvés. Veuillez patienter.</translation>
    </message>
    <message>
        <source>This headset&apos;s device list is empty, so no device shares a network password with it yet. Pair this computer with the headset on the Pairing page first, then come back here.</source>
        <translation>La liste des appareils de ce casque est vide : aucun appareil ne partage encore de mot de passe réseau avec lui. Appairez d’abord cet ordinateur avec le casque sur la page Appairage, puis revenez ici.</translation>
    </message>
    <message>
        <source>The dongle was unplugged while the new password was being set. Some devices may already have the new password. Set the password again once the dongle is back.</source>
        <translation>Le dongle a été débranché pendant la définition du nouveau mot de passe. Certains appareils ont peut-être déjà le nouveau mot de passe. Définissez à nouveau le mot de passe une fois le dongle rebranché.</translation>
    </message>
    <message>
        <source>Not every device took the new network password.</source>
        <translation>Tous les appareils n’ont pas pris le nouveau mot de passe réseau.</translation>
    </message>
    <message>
        <source>Open the Security page again, put all your devices into service mode and set the same password again.</source>
        <translation>Ouvrez à nouveau la page Sécurité, mettez tous vos appareils en mode service et définissez à nouveau le même mot de passe.</translation>
    </message>
</context>
</TS>
