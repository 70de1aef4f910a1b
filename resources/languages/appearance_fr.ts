<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>AppearancePage</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>Toolbar options</source>
        <translation>Options de la barre d’outils</translation>
    </message>
    <message>
        <source>Show toolbar</source>
        <translation>Afficher la barre d’outils</translation>
    </message>
    <message>
        <source>Horizontal toolbar</source>
        <translation>Barre d’outils horizontale</translation>
    </message>
    <message>
        <source>Toolbar opacity</source>
        <translation>Opacité de la barre d’outils</translation>
    </message>
    <message>
        <source>Make toolbar non-transparent on mouseover</source>
        <translation>Rendre la barre d’outils opaque au survol de la souris</translation>
    </message>
    <message>
        <source>Toolbar size</source>
        <translation>Taille de la barre d’outils</translation>
    </message>
    <message>
        <source>Stick toolbar to primary screen</source>
        <translation>Garder la barre d’outils sur l’écran principal</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Does not apply to Absolute mode, where you won&apos;t able to place sidbar to any other location then the primary screen, regadless of this selection.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Sans effet en mode absolu, où la barre d’outils ne peut être placée que sur l’écran principal, quel que soit ce choix.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Feedback</source>
        <translation>Retour d’information</translation>
    </message>
    <message>
        <source>Show visual feedback when the headset changes  the device to control</source>
        <translation>Afficher un signal visuel quand le casque change d’appareil commandé</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Langue</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Apparence</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Réinitialiser</translation>
    </message>
</context>
<context>
    <name>HelpPage</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
</context>
<context>
    <name>MasterDetailView</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
</context>
<context>
    <name>MouseProfile</name>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Restricted</source>
        <translation>Restreint</translation>
    </message>
    <message>
        <source>Tremor</source>
        <translation>Tremblement</translation>
    </message>
</context>
<context>
    <name>ProfileSelectionDialog</name>
    <message>
        <source>Create Profile</source>
        <translation>Créer un profil</translation>
    </message>
    <message>
        <source>Select the base profile</source>
        <translation>Choisissez le profil de base</translation>
    </message>
    <message>
        <source>Profile name:</source>
        <translation>Nom du profil :</translation>
    </message>
    <message>
        <source>Automatically generated name</source>
        <translation>Nom généré automatiquement</translation>
    </message>
</context>
<context>
    <name>TimeoutDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialogue</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>Texte</translation>
    </message>
</context>
<context>
    <name>OX::AppearancePage</name>
    <message>
        <source>Appearance</source>
        <translation>Apparence</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Réinitialiser</translation>
    </message>
</context>
<context>
    <name>OX::HelpPage</name>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <source>The manual cannot be shown: its viewer is missing from this installation.</source>
        <translation>Le manuel ne peut pas être affiché : sa visionneuse manque dans cette installation.</translation>
    </message>
    <message>
        <source>The manual cannot be shown while OrvixTools runs as the system administrator (root).</source>
        <translation>Le manuel ne peut pas être affiché tant qu’OrvixTools s’exécute en tant qu’administrateur système (root).</translation>
    </message>
    <message>
        <source>The manual cannot be shown: its viewer stopped. Restart OrvixTools to read it again.</source>
        <translation>Le manuel ne peut pas être affiché : sa visionneuse s’est arrêtée. Redémarrez OrvixTools pour le lire à nouveau.</translation>
    </message>
    <message>
        <source>The manual cannot be shown: it is missing from this installation.</source>
        <translation>Le manuel ne peut pas être affiché : il manque dans cette installation.</translation>
    </message>
</context>
</TS>
