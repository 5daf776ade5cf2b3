#include "catalogues.h"

namespace modDestiny::catalogue {

const std::array<CycleEntry, 11> kCycle{{
    {1, "Keywords: Independence, Beginnings, New Opportunities",
     "A fresh chapter opens now, and you stand at the very beginning of a new nine-part cycle. "
     "Whatever was finished or released in the phase just behind you has cleared the ground, "
     "and this period asks you to decide what you want to grow next. Independence is your "
     "strongest ally: trust your own judgment, take the first step without waiting for "
     "permission, and let your initiative set the pace. New opportunities tend to appear for "
     "those who move toward them, so make plans, voice your ambitions and act on the ideas "
     "that have been waiting in the back of your mind. Think of this cycle as an early spring, "
     "a season of planting. The seeds you sow now, through choices, habits and commitments, "
     "will shape the years that follow, so choose them with care and tend them faithfully."},
    {2, "Keywords: Patience, Teamwork, Companionship",
     "After the bold start of the previous phase, the energy now slows and softens. This "
     "period favors patience over pressure, and you may notice that plans move forward more "
     "gradually than you would like. Rather than forcing results, let the seeds you planted "
     "take root in their own time. Cooperation is the key theme: you achieve more by working "
     "alongside others than by pushing ahead alone, so listen carefully, share credit "
     "generously and look for partners whose strengths complement yours. Close relationships, "
     "friendships and collaborations can deepen in meaningful ways. Tact and diplomacy serve "
     "you well, and small kindnesses are noticed. This is also a good cycle for rest and "
     "gentle self-care. Give yourself permission to pause, gather your strength and pay "
     "attention to details that are easy to overlook when life moves quickly. Quiet progress "
     "is still progress, and the groundwork you lay now will support the growth to come."},
    {3, "Keywords: Enjoyment, Imagination, Communication",
     "Lighter, brighter energy surrounds you during this phase, inviting you to enjoy life and "
     "let your imagination run free. Creativity flows easily now, so pick up the sketchbook, "
     "the instrument or the half-written story and see where it leads. Self-expression is "
     "favored in every form: conversation, writing, art, performance or simply the way you "
     "dress and decorate your space. Your social calendar may fill up as friends old and new "
     "seek your company, and gatherings can bring useful contacts as well as laughter. "
     "Communication is your gift in this cycle; speak warmly and honestly, and others will "
     "respond in kind. The one caution is scattered effort. With so many pleasant "
     "distractions, it helps to choose a few projects and see them through. Make room for "
     "play, and you may find that joy itself becomes a source of inspiration."},
    {4, "Keywords: Organization, Practicality, Work",
     "This is a period for rolling up your sleeves. The ideas and connections you gathered "
     "before now need solid structure, and you are the one best placed to provide it. Expect "
     "steady effort rather than quick rewards: progress comes through organization, routine "
     "and a practical approach to each task in turn. Review your budget, tidy your workspace, "
     "draw up schedules and attend to the details you may have postponed. Commitments made now "
     "tend to hold firm, so build carefully and with an eye to the future. At times the "
     "workload may feel heavy or the pace slow, yet every brick you lay adds to a foundation "
     "that will carry you for years. Discipline is not a burden in this cycle but a source of "
     "quiet satisfaction. Cooperation with colleagues and family helps, since shared effort "
     "lightens the load. Remember to balance hard work with proper downtime, and take pride in "
     "the reliable progress that patient, honest labor brings."},
    {5, "Keywords: Freedom, Change, Adventure",
     "Change is in the air, and after a long stretch of steady discipline you may feel a "
     "strong urge to break free. This cycle brings movement, variety and a welcome sense of "
     "liberation. Doors that seemed firmly shut can swing open unexpectedly, and the routines "
     "that once felt safe may now feel too small. Travel is especially favored, whether a long "
     "journey to somewhere new or a series of short trips that refresh your outlook. Adventure "
     "does not always require a passport, however; it can mean taking a class, changing your "
     "appearance, exploring a new neighborhood or meeting people whose lives are very "
     "different from your own. Stay flexible and curious. The more readily you adapt, the more "
     "this period rewards you with fresh experiences and surprising opportunities. Freedom "
     "comes with its own responsibilities, so think before making sudden, sweeping decisions, "
     "and avoid scattering your energy across too many directions at once. Restlessness is "
     "natural now, but it works best when channeled into purposeful exploration rather than "
     "escape. Keep your commitments and the people who count on you in view even as you "
     "stretch your wings. Old habits you have outgrown can be released with relative ease now, "
     "making it an excellent time to reinvent some part of your life. Say yes to experiences "
     "that expand your horizons, learn from every encounter, and trust that the variety you "
     "welcome now will leave you wiser, more resilient and more fully yourself."},
    {6, "Keywords: Responsibility, Nurturing, Domesticity",
     "Home and the people you love move to the center of your attention during this cycle. "
     "Family matters, domestic projects and close relationships call for your time, and "
     "greater responsibility for the wellbeing of others may rest on your shoulders. This "
     "could mean caring for a relative, supporting a partner through a change, welcoming "
     "someone new into the household or simply becoming the person friends turn to for comfort "
     "and advice. Nurturing comes naturally now, and acts of generosity are deeply rewarding. "
     "The period also favors improving your surroundings: redecorating, repairing, gardening "
     "or creating a more harmonious atmosphere where you live. Beyond the front door, your "
     "community may ask for your help, and volunteering or serving a local cause can bring a "
     "real sense of belonging. Partnerships may grow closer, and commitments such as marriage "
     "are often highlighted. The challenge is to give without losing yourself. Set gentle "
     "boundaries, accept help when it is offered and make sure your own needs are met too. "
     "Love given freely and wisely tends to return in abundance, and the bonds you strengthen "
     "now can endure for a lifetime."},
    {7, "Keywords: Introspective, Faith, Self-Awareness",
     "The pace of outer life slows in this cycle, and your attention naturally turns inward. "
     "This is a time for reflection, study and a deeper understanding of who you are and what "
     "you truly value. You may feel less drawn to crowds, preferring long walks, meaningful "
     "conversations with a trusted few or quiet hours with a good book. Honor that need for "
     "solitude; it is not withdrawal from life but a chance to listen to yourself more "
     "closely. Questions of purpose, belief and faith may rise to the surface, and exploring "
     "them through meditation, journaling, prayer or philosophical reading can be richly "
     "rewarding. Self-awareness grows when you examine your habits, motives and long-held "
     "assumptions with honesty and compassion. Material ambitions may seem to stall for a "
     "while, and pushing hard for worldly results is rarely productive now. Instead, invest in "
     "knowledge, skill and inner wisdom, which will prove invaluable when the energy turns "
     "outward again. Trust your intuition, since insights often arrive quietly and "
     "unexpectedly in moments of stillness. Take care not to isolate yourself completely; a "
     "balance of private reflection and warm connection keeps you grounded. By the close of "
     "this period you are likely to see your path with far greater clarity."},
    {8, "Keywords: Achievement, Power, Recognition",
     "Effort meets reward in this phase. The inner work and careful preparation of recent "
     "cycles now translate into tangible results, and you could be stepping into a position of "
     "greater authority or influence. This is a powerful period for career advancement, "
     "business ventures and practical ambitions of every kind. Recognition for past "
     "achievements can arrive through a promotion, a successful project, public praise or "
     "simply the respect of people whose opinion matters to you. Think big and act with "
     "confidence, but keep your decisions grounded in sound judgment and careful attention to "
     "the numbers. Material gain is possible, yet the deeper lesson of this cycle concerns the "
     "wise use of power. Lead with integrity, treat others fairly and remember that real "
     "success is built on trust as much as talent. Organize your resources, negotiate clearly "
     "and do not undervalue your own worth. Guard your personal life as well, since ambition "
     "can crowd out rest and relationships if left unchecked. Used generously and responsibly, "
     "the strength available to you now can create security and opportunity, for you and for "
     "those around you."},
    {9, "Keywords: Completion, Inspiration, Fulfillment",
     "You have arrived at the closing stage of the full sequence of cycles, and this period is "
     "about completion. Much of what began in earlier phases now comes to its natural "
     "conclusion, giving you a chance to look back, take stock and recognize how far you have "
     "traveled. Some endings may be welcome, while others can feel bittersweet, but each one "
     "makes space for something better to arrive. Letting go is the central task. Release "
     "relationships, possessions, habits and ambitions that no longer fit the person you are "
     "becoming, and do so with gratitude rather than regret. Emptying cupboards, resolving old "
     "disagreements and tying up loose ends can bring surprising relief. Compassion and "
     "generosity are strongly highlighted, and you might feel moved to help others, share your "
     "experience or contribute to a cause larger than yourself. Such giving often brings a "
     "deep sense of fulfillment. Revisit old dreams and notice which still stir your heart. "
     "Inspiration can arrive as you sense the shape of what lies ahead, yet it is usually wise "
     "to avoid launching major new ventures until the next cycle begins. For now, finish what "
     "you have started, forgive where you can and rest when you need to. Emotions may run "
     "deeper than usual, so be patient with yourself. By embracing this time of closure, you "
     "prepare fertile ground for the renewal that follows."},
    {11, "Keywords: Intuition, Revelation, Idealism",
     "This is a master cycle, carrying a higher and more intense vibration than most. "
     "Heightened intuition is its hallmark: hunches, dreams and sudden flashes of "
     "understanding may guide you better than logic alone. Moments of revelation can shift the "
     "way you see yourself and the world, opening your eyes to possibilities you never "
     "considered. Idealism runs strong, and you could feel called to put your gifts at the "
     "service of something greater, whether through teaching, healing, art or quiet acts of "
     "encouragement. Others may look to you for inspiration, so let your example speak as "
     "clearly as your words. The same sensitivity that brings illumination can also leave you "
     "feeling nervous or overstimulated, so make time for quiet, nature and calm routines that "
     "keep you steady. Practical matters still need attention, so let vision and daily care "
     "walk together. Follow the light you glimpse, share it generously and trust that "
     "spiritual growth in this phase will bear fruit long after it ends."},
    {22, "Keywords: Greatness, Power, Achievement",
     "Few cycles hold as much promise as this one. As a master number, 22 combines visionary "
     "insight with the practical skill to turn large dreams into reality. You now have a rare "
     "opportunity to build something of lasting value, perhaps a business, an organization, a "
     "body of work or a project that benefits many people beyond your own circle. Ambition is "
     "supported, but greatness here depends on discipline, patience and a clear plan rather "
     "than wishful thinking. Think on a grand scale, then break the vision into realistic "
     "steps and work through them steadily. The power available to you is considerable, and it "
     "is best used in service of a purpose larger than personal gain. Pressure may mount, so "
     "pace yourself and lean on trusted allies. Achievements begun in this phase can stand for "
     "many years to come. "},
}};

const std::array<Entry, 11> kDay{{
    {1,
     "A clean slate awaits you today. Launch the project you have been putting off, decide "
     "quickly and lean on your own instincts. Bold first steps taken now, however small, can "
     "carry you a long way."},
    {2,
     "Move gently today and think ahead. It is a fine time to plan, organize and finish the "
     "small chores that have piled up. Rushing is unlikely to help, so take each step slowly "
     "and let cooperation smooth the way."},
    {3,
     "Your imagination is lively today, so let ideas flow freely. Brainstorm, sketch, jot down "
     "notes or share a playful conversation with friends. Keep your outlook cheerful and your "
     "creativity will thrive."},
    {4,
     "Today rewards a methodical approach. Make a list, tackle your duties one by one and give "
     "each chore your full attention. Practical effort now brings order and a satisfying sense "
     "of accomplishment!"},
    {5,
     "Surprises could pop up today, so greet them with a smile. Plans may shift and an unusual "
     "invitation might come your way. Bend with the changes, follow your curiosity and let "
     "yourself be spontaneous. Try something different and enjoy the ride!"},
    {6,
     "Kindness and empathy come easily today. Reach out to family members or friends who could "
     "use a listening ear, a helping hand or a warm meal. Small gestures of care strengthen "
     "the bonds you share, and the comfort you offer will find its way back to you."},
    {7,
     "Seek a quiet corner today and let your mind breathe. Reading, study, reflection or a "
     "solitary walk suit this energy far better than crowds and noise. Let your thoughts "
     "settle, listen to your inner voice and note any insight that surfaces."},
    {8,
     "Practical matters take center stage today. It is an excellent moment to finalize "
     "business plans and put forward proposals that showcase your abilities. If you hope for a "
     "raise, a promotion or a new role, present your case clearly, calmly and confidently. "
     "Authority and efficiency are on your side, so aim high and stay grounded in the facts."},
    {9,
     "Today favors endings and tidy conclusions. Finish the tasks that have lingered on your "
     "list, return borrowed items, answer overdue messages and settle any small matters left "
     "hanging. Clear out clutter in a drawer, a closet or your own thoughts, and let go of "
     "whatever has outlived its purpose. Every space you free now invites fresh beginnings "
     "soon to come."},
    {11,
     "Your intuition is especially sharp today. When a choice feels right in your heart, trust "
     "that feeling even if logic lags behind. Notice dreams, coincidences and quiet inner "
     "nudges. Inspiration may strike unexpectedly, and a compassionate word from you could "
     "lift someone's spirits."},
    {22,
     "Today asks you to set your own wishes aside and put others first. Offer your time or "
     "skills where they matter most.  Even modest acts of service add up, and the good you do "
     "today may reach further than you imagine."},
}};

} // namespace modDestiny::catalogue
