// Marks the section the reader was sent to, so that its heading stands out.
(function () {
    function markCurrent() {
        var sections = document.getElementsByTagName("section");
        for (var i = 0; i < sections.length; ++i)
            sections[i].classList.toggle("current", "#" + sections[i].id === window.location.hash);
    }
    window.addEventListener("hashchange", markCurrent);
    document.addEventListener("DOMContentLoaded", markCurrent);
})();
