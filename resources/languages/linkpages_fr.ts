<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>LinkPage</name>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="26"/>
        <source>General</source>
        <translation>Général</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="31"/>
        <source>Driving Forward</source>
        <translation>Marche avant</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="36"/>
        <source>Turning</source>
        <translation>Virage</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="52"/>
        <source>Previous</source>
        <translation>Précédent</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="65"/>
        <source>Next</source>
        <translation>Suivant</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="68"/>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="32"/>
        <source>Deadzone is the range of small head movements where the chair won&apos;t react to the movements of your head. This range applies to slow to average chair speed. This will also set the minimum value of your highspeed deadzone.</source>
        <translation>La zone morte est l’amplitude des petits mouvements de tête auxquels le fauteuil ne réagit pas. Elle s’applique aux vitesses lentes à moyennes. Elle fixe aussi la valeur minimale de votre zone morte à grande vitesse.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="39"/>
        <source>Set drive properties</source>
        <translation>Régler la conduite</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="40"/>
        <source>Here you can change your driving gesture direction and set your reversing preferences.</source>
        <translation>Ici, vous pouvez changer le sens du geste de conduite et régler vos préférences de marche arrière.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="43"/>
        <source>Set forward movement range</source>
        <translation>Régler l’amplitude de marche avant</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="44"/>
        <source>How do you wish to move and speed the chair forward? Start tilting your head  in the range you wish the chair to react. 
 Alternatively, you can drag an move the icons on the picture.</source>
        <translation>Comment souhaitez-vous faire avancer et accélérer le fauteuil ? Inclinez la tête dans l’amplitude à laquelle le fauteuil doit réagir.
Vous pouvez aussi faire glisser les icônes sur l’image.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="49"/>
        <source>Set forward safety limit</source>
        <translation>Régler la limite de sécurité avant</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="50"/>
        <source>To avoid moving forward when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>Pour éviter d’avancer lorsque votre casque fait un très grand mouvement (par ex. un événement soudain attire votre attention), réglez votre limite de sécurité.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="55"/>
        <source>Set backward movement range</source>
        <translation>Régler l’amplitude de marche arrière</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="56"/>
        <source>How do you wish to move and speed the chair backwards? Start tilting your head  in the range you wish the chair to react. 
 Alternatively, you can drag an move the icons on the picture.</source>
        <translation>Comment souhaitez-vous faire reculer et accélérer le fauteuil ? Inclinez la tête dans l’amplitude à laquelle le fauteuil doit réagir.
Vous pouvez aussi faire glisser les icônes sur l’image.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="61"/>
        <source>Set backward safety limit</source>
        <translation>Régler la limite de sécurité arrière</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="62"/>
        <source>To avoid moving backward when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>Pour éviter de reculer lorsque votre casque fait un très grand mouvement (par ex. un événement soudain attire votre attention), réglez votre limite de sécurité.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="67"/>
        <source>Set slowspeed deadzone</source>
        <translation>Régler la zone morte à basse vitesse</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="69"/>
        <location filename="../../ui/link/LinkPageForms.cpp" line="100"/>
        <source>Set highspeed deadzone</source>
        <translation>Régler la zone morte à grande vitesse</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="70"/>
        <source>Deadzone is the range of small head movements where the chair won&apos;t react to the movements of your head. This setting applies to maximum chair speed. To lower the zone values, change the slowspeed deadzone settings first.</source>
        <translation>La zone morte est l’amplitude des petits mouvements de tête auxquels le fauteuil ne réagit pas. Ce réglage s’applique à la vitesse maximale. Pour abaisser les valeurs de la zone, modifiez d’abord la zone morte à basse vitesse.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="77"/>
        <source>Set turning right</source>
        <translation>Régler le virage à droite</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="78"/>
        <source>Press Start and tilt or turn your head in the range you wish the chair to react and move to the right. 
 Alternatively, you can drag an move the icons on the picture. </source>
        <translation>Appuyez sur Démarrer et inclinez ou tournez la tête dans l’amplitude à laquelle le fauteuil doit réagir et tourner à droite.
Vous pouvez aussi faire glisser les icônes sur l’image.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="82"/>
        <source>Set safety limit to the right</source>
        <translation>Régler la limite de sécurité à droite</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="83"/>
        <source>To avoid turning to the right when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>Pour éviter de tourner à droite lorsque votre casque fait un très grand mouvement (par ex. un événement soudain attire votre attention), réglez votre limite de sécurité.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="87"/>
        <source>Set turning left</source>
        <translation>Régler le virage à gauche</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="88"/>
        <source>Press Start and tilt or turn your head in the range you wish the chair to react and move to the left. 
 Alternatively, you can drag an move the icons on the picture.</source>
        <translation>Appuyez sur Démarrer et inclinez ou tournez la tête dans l’amplitude à laquelle le fauteuil doit réagir et tourner à gauche.
Vous pouvez aussi faire glisser les icônes sur l’image.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="92"/>
        <source>Set safety limit to the left</source>
        <translation>Régler la limite de sécurité à gauche</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="93"/>
        <source>To avoid turning to the left when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>Pour éviter de tourner à gauche lorsque votre casque fait un très grand mouvement (par ex. un événement soudain attire votre attention), réglez votre limite de sécurité.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="98"/>
        <source>Set slowpeed deadzone</source>
        <translation>Régler la zone morte à basse vitesse</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="101"/>
        <source>Deadzone is the range of small head movements where the chair won&apos;t react to the movements of your head. This setting applies to maximum chair speed. To lower min. value, change the slowspeed deadzone settings first.</source>
        <translation>La zone morte est l’amplitude des petits mouvements de tête auxquels le fauteuil ne réagit pas. Ce réglage s’applique à la vitesse maximale. Pour abaisser la valeur min., modifiez d’abord la zone morte à basse vitesse.</translation>
    </message>
</context>
<context>
    <name>LinkSelectionPage</name>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.ui" line="36"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Select LINK to get details than press &lt;span style=&quot; font-weight:600;&quot;&gt;Settings&lt;/span&gt; to change LINK parameters. if you connect an other LINK to the network press &lt;span style=&quot; font-weight:600;&quot;&gt;Refresh&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Sélectionnez un LINK pour voir ses détails, puis appuyez sur &lt;span style=&quot; font-weight:600;&quot;&gt;Réglages&lt;/span&gt; pour modifier ses paramètres. Si vous connectez un autre LINK au réseau, appuyez sur &lt;span style=&quot; font-weight:600;&quot;&gt;Actualiser&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>OX::LinkPage</name>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="197"/>
        <source>Link lost, save parameters failed</source>
        <translation>Link perdu, l’enregistrement des paramètres a échoué</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="235"/>
        <source>Reset Parameters</source>
        <translation>Réinitialiser les paramètres</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="255"/>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="256"/>
        <source>Revert</source>
        <translation>Rétablir</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="312"/>
        <source>Link not present</source>
        <translation>Link absent</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="313"/>
        <source>Turn link ON or exit service mode by long tap on Link&apos;s button (red indicator light will off).</source>
        <translation>Allumez le Link ou quittez le mode service par un appui long sur le bouton du Link (le voyant rouge s’éteint).</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="315"/>
        <source>Press cancel to leave Link settings page.</source>
        <translation>Appuyez sur Annuler pour quitter la page des réglages du Link.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="316"/>
        <source>Retry</source>
        <translation>Réessayer</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="316"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="318"/>
        <source>Save settings</source>
        <translation>Enregistrer les réglages</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="319"/>
        <source>Before changing the settings, would you like Orvix Tools to save this version as a back up?</source>
        <translation>Avant de modifier les réglages, voulez-vous qu’Orvix Tools enregistre cette version comme sauvegarde ?</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="321"/>
        <source>If you select yes, you will be able to revert back to the current settings after making changes that you end up not liking.</source>
        <translation>Si vous choisissez oui, vous pourrez revenir aux réglages actuels si vos modifications ne vous plaisent finalement pas.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="324"/>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="324"/>
        <source>Don&apos;t save</source>
        <translation>Ne pas enregistrer</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="371"/>
        <source>Link</source>
        <translation>Link</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="373"/>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="400"/>
        <source>You have changes in your selected link profile. Do you want to apply changes?</source>
        <translation>Le profil du Link sélectionné a été modifié. Voulez-vous appliquer les modifications ?</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="401"/>
        <source>Link settings about to leave</source>
        <translation>Vous allez quitter les réglages du Link</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="401"/>
        <source>Stay on page</source>
        <translation>Rester sur la page</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="401"/>
        <source>Dismiss and leave page</source>
        <translation>Abandonner et quitter la page</translation>
    </message>
    <message>
        <source>Parameters outside their limits</source>
        <translation>Paramètres hors de leurs limites</translation>
    </message>
    <message>
        <source>%1 holds parameters outside the LINK's limits; such a record is never sent:</source>
        <translation>%1 contient des paramètres hors des limites du LINK ; un tel enregistrement n’est jamais envoyé :</translation>
    </message>
    <message>
        <source>The LINK's own record</source>
        <translation>L’enregistrement du LINK lui-même</translation>
    </message>
    <message>
        <source>The backup</source>
        <translation>La sauvegarde</translation>
    </message>
    <message>
        <source>The record to apply</source>
        <translation>L’enregistrement à appliquer</translation>
    </message>
    <message>
        <source>Backup not saved</source>
        <translation>Sauvegarde non enregistrée</translation>
    </message>
    <message>
        <source>The backup could not be saved because your settings cannot be written. It can be restored only until OrvixTools quits.</source>
        <translation>La sauvegarde n’a pas pu être enregistrée, car vos paramètres ne peuvent pas être écrits. Elle ne peut être restaurée que jusqu’à la fermeture d’OrvixTools.</translation>
    </message>
</context>
<context>
    <name>OX::LinkSelectionPage</name>
    <message>
        <source>Headset not found</source>
        <translation>Casque introuvable</translation>
    </message>
    <message>
        <source>Dongle not connected</source>
        <translation>Dongle non connecté</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="78"/>
        <source>Link selection</source>
        <translation>Choix du Link</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="80"/>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="81"/>
        <source>Settings</source>
        <translation>Réglages</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="82"/>
        <source>Refresh</source>
        <translation>Actualiser</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="254"/>
        <source>PAN</source>
        <translation>PAN</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="255"/>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="256"/>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="263"/>
        <source>Revision</source>
        <translation>Révision</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="264"/>
        <source>Serial</source>
        <translation>N° de série</translation>
    </message>
</context>
</TS>
